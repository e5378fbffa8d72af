#pragma once
// A private desktop for tests of the commands that start other programs: XDG folders in a
// temporary folder whose default browser (for https addresses and HTML files) is a script that
// records its arguments, and a folder holding an "xdg-open" script that does the same. Nothing of
// the machine's own desktop is read or started. The environment comes back when the object goes.
#include "common/testkit.h"

#include <QByteArray>

#include <string>
#include <utility>
#include <vector>

class CFakeDesktop {
public:
    CFakeDesktop();
    ~CFakeDesktop();
    CFakeDesktop(const CFakeDesktop&) = delete;
    CFakeDesktop& operator=(const CFakeDesktop&) = delete;

    // PATH names only the folder with the fake xdg-open, or only an empty folder.
    void UseHandlerOnPath(bool bHandler);
    // PATH names only a folder whose xdg-open opens nothing and ends with `nStatus` (3: it found
    // no program for the target, as on a desktop without a browser or file manager).
    void UseFailingHandler(int nStatus);
    // Whether a default browser is set at all (without, mimeapps.list is empty).
    void SetBrowserDefault(bool bSet);

    // The arguments the fake browser (or xdg-open) was last started with, waiting up to `nMs` for
    // it to write them; the record is taken, so the next start writes a new one. Empty when it was
    // not started within that time (a short time suits a check that nothing was started).
    std::vector<std::string> TakeBrowserArgs(int nMs = testkit::kPatientMs);
    std::vector<std::string> TakeHandlerArgs(int nMs = testkit::kPatientMs);

    std::string Folder(const std::string& strName) const { return m_dir.File(strName); }

private:
    void Set(const char* name, const std::string& strValue);

    testkit::TempDir m_dir;
    std::vector<std::pair<QByteArray, std::pair<bool, QByteArray>>> m_saved;
};

#pragma once
// Keeps the window's source list (sources, parts to convert, statuses) in a file beside the
// settings while the program runs, written as the settings are: a temporary file, then a rename,
// so a crash at any moment leaves a readable list. A normal end removes the file; when it is still
// there at the next start, the program did not end normally, and the list it holds is restored
// and the status bar says so. Nothing is asked. Only one running window keeps the list.
#include <QObject>
#include <QTimer>

#include <memory>
#include <string>

class CMainFrame;

namespace platform {
class CStoreFileLock;
}

class CListKeeper : public QObject {
    Q_OBJECT
public:
    // Restores what an earlier run that did not end normally left, then keeps the list of the
    // frame's view (whichever view the frame shows). A child of the frame: it goes with it.
    explicit CListKeeper(CMainFrame* pFrame);
    // The frame goes: the program ends normally, and the kept list with it.
    ~CListKeeper() override;
    CListKeeper(const CListKeeper&) = delete;
    CListKeeper& operator=(const CListKeeper&) = delete;

    // Writes the list now when it changed since it was last written (the timer does it twice a
    // second).
    void Keep();

    // The file the list is kept in.
    static std::string ListFilePath();

    // The status bar's text after a restore.
    static const char* const kRestoredText;

private:
    void Restore();
    std::string ListText() const;

    CMainFrame* m_pFrame;
    std::unique_ptr<platform::CStoreFileLock> m_pLock;
    std::string m_strPath;    // "" when this window does not keep the list
    std::string m_strWritten; // the text last written (an empty list: no file)
    QTimer m_timer;
};

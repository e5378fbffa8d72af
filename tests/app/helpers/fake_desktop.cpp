#include "app/helpers/fake_desktop.h"

#include <filesystem>
#include <sys/stat.h>

#include <QtGlobal>

namespace {

// A script that writes each argument on a line of its own into strRecord (whole, by a rename).
void WriteRecorder(const std::string& strPath, const std::string& strRecord) {
    const std::string strTemp = testkit::ShellQuote(strRecord + ".tmp");
    testkit::WriteFile(strPath, "#!/bin/sh\nprintf '%s\\n' \"$@\" > " + strTemp + " && /bin/mv " +
                                    strTemp + " " + testkit::ShellQuote(strRecord) + "\n");
    chmod(strPath.c_str(), 0755);
}

std::vector<std::string> TakeRecord(const std::string& strRecord, int nMs) {
    testkit::WaitUntil([&] { return std::filesystem::exists(strRecord); }, nMs);
    const std::vector<std::string> args = testkit::ReadLines(strRecord);
    std::error_code error;
    std::filesystem::remove(strRecord, error);
    return args;
}

} // namespace

CFakeDesktop::CFakeDesktop() {
    WriteRecorder(m_dir.File("browser/fake browser"), m_dir.File("browser.args"));
    WriteRecorder(m_dir.File("handler/xdg-open"), m_dir.File("handler.args"));
    std::filesystem::create_directories(m_dir.File("empty"));
    testkit::WriteFile(m_dir.File("data/applications/fake-browser.desktop"),
                       "[Desktop Entry]\nType=Application\nName=Fake Browser\nExec=\"" +
                           m_dir.File("browser/fake browser") + "\" %u\n");
    Set("XDG_DATA_HOME", m_dir.File("data"));
    Set("XDG_DATA_DIRS", m_dir.File("empty"));
    Set("XDG_CURRENT_DESKTOP", std::string());
    SetBrowserDefault(true);
    UseHandlerOnPath(true);
}

CFakeDesktop::~CFakeDesktop() {
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
        if (it->second.first) {
            qputenv(it->first.constData(), it->second.second);
        } else {
            qunsetenv(it->first.constData());
        }
    }
}

void CFakeDesktop::Set(const char* name, const std::string& strValue) {
    bool bSaved = false;
    for (const auto& saved : m_saved) {
        bSaved = bSaved || saved.first == name;
    }
    if (!bSaved) {
        m_saved.push_back({name, {qEnvironmentVariableIsSet(name), qgetenv(name)}});
    }
    qputenv(name, QByteArray::fromStdString(strValue));
}

void CFakeDesktop::UseHandlerOnPath(bool bHandler) {
    Set("PATH", m_dir.File(bHandler ? "handler" : "empty"));
}

void CFakeDesktop::SetBrowserDefault(bool bSet) {
    // The configuration folders hold the default (or an empty mimeapps.list); the user's own
    // folder (the settings' one) has no mimeapps.list of its own.
    const std::string strFolder = m_dir.File(bSet ? "config" : "no-default");
    testkit::WriteFile(strFolder + "/mimeapps.list",
                       bSet ? "[Default Applications]\n"
                              "x-scheme-handler/https=fake-browser.desktop;\n"
                              "text/html=fake-browser.desktop;\n"
                            : "");
    Set("XDG_CONFIG_DIRS", strFolder);
}

void CFakeDesktop::UseFailingHandler(int nStatus) {
    const std::string strScript = m_dir.File("failing/xdg-open");
    testkit::WriteFile(strScript, "#!/bin/sh\nexit " + std::to_string(nStatus) + "\n");
    chmod(strScript.c_str(), 0755);
    Set("PATH", m_dir.File("failing"));
}

std::vector<std::string> CFakeDesktop::TakeBrowserArgs(int nMs) {
    return TakeRecord(m_dir.File("browser.args"), nMs);
}

std::vector<std::string> CFakeDesktop::TakeHandlerArgs(int nMs) {
    return TakeRecord(m_dir.File("handler.args"), nMs);
}

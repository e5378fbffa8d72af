#include "app/fault_notice.h"

#include "profiles/settings.h"
#include "support/log.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QStringList>

#include <cstdio>
#include <string>

namespace {

QStringList& Reported() {
    static QStringList lines;
    return lines;
}

// bOnStandardError: also write the line there (the log module names its own failure there itself).
void Name(QWidget* pWindow, const std::string& line, bool bOnStandardError) {
    const QString text = QString::fromStdString(line);
    if (line.empty() || Reported().contains(text)) {
        return;
    }
    Reported().append(text);
    WriteLogLine("%s", line.c_str());
    if (bOnStandardError) {
        std::fprintf(stderr, "Lumicast: %s\n", line.c_str());
    }
    auto* frame = pWindow != nullptr ? qobject_cast<QMainWindow*>(pWindow->window()) : nullptr;
    if (frame != nullptr) {
        frame->statusBar()->showMessage(text);
    }
}

} // namespace

void ReportStartFaults(QWidget* pWindow) {
    Name(pWindow, LogFaultLine(), false);
    Name(pWindow, SettingsFaultLine(), true);
}

void ReportSettingsWriteFault(QWidget* pWindow) {
    std::string line = SettingsFaultLine();
    if (line.empty()) {
        const std::string file = SettingsFilePath();
        line = "Settings file " + file + " could not be written; the change will not be kept.";
    }
    Name(pWindow, line, true);
}

QStringList ReportedFaults() {
    return Reported();
}

void ForgetReportedFaults() {
    Reported().clear();
}

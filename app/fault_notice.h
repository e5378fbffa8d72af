#pragma once
// Naming what keeps the settings file or the diagnostic log from working. Each cause is named once
// per run, in one plain line: in the log, on standard error and in the main window's status bar.
// The application goes on in every case.
#include <QString>

class QWidget;

// At start-up, once the main window is shown: names a settings file that cannot be read, is
// damaged or cannot be written, and a log file that cannot be written.
void ReportStartFaults(QWidget* pWindow);

// After a setting could not be stored: names why (the settings file's fault, or that it could not
// be written), unless that was named already in this run.
void ReportSettingsWriteFault(QWidget* pWindow);

// The lines named so far in this run, oldest first (for tests and the About box's diagnostics).
QStringList ReportedFaults();
// Forgets what was named, so a new window names it again (tests).
void ForgetReportedFaults();

#pragma once
// Application start-up and the values it sets once for the whole process.
#include <memory>

class CMainFrame;

// The start-up sequence after the QApplication exists: the Qt prompt service, application name,
// media framework check, "HiddenToolTips", the stored "Language" selected, then the frame with its
// menu, toolbar, status bar and form view, shown. Returns the frame, or nullptr when start-up
// failed.
std::unique_ptr<CMainFrame> StartApplication();

// The whole program: QApplication, start-up, then the event loop until the frame closes.
int RunApplication(int argc, char* argv[]);

#pragma once
// Application start-up and the values it sets once for the whole process.
#include <cstdint>
#include <memory>

class CMainFrame;

// True when "HiddenToolTips" read "TRUE" at start-up: the help window is not shown after start.
// Read once per start; writing the value later in the run does not change it.
bool HiddenHelpAtStart();

// The current interface language identifier; 0 until a language has been selected in this run.
std::uint16_t CurrentLanguageId();

// The start-up sequence after the QApplication exists: application name, media framework check,
// "HiddenToolTips", then the frame with its menu, toolbar, status bar and form view, shown.
// Returns the frame, or nullptr when start-up failed.
std::unique_ptr<CMainFrame> StartApplication();

// The whole program: QApplication, start-up, then the event loop until the frame closes.
int RunApplication(int argc, char* argv[]);

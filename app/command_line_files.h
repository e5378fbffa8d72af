#pragma once
// Files named on the application's command line (a file manager's "Open With", a desktop entry's
// %F) go into the source list through the loading pass, exactly as dropped files do. The window
// has no command-line options of its own: every argument after the program name is a file.
#include <QStringList>

#include <string>
#include <vector>

class CMainFrame;

// The files among the arguments (the first is the program): local paths as given, made absolute
// against the current folder, and file:// addresses turned into paths; empty arguments and other
// addresses are left out.
std::vector<std::string> CommandLineFiles(const QStringList& arguments);

// Once the event loop runs, loads the command line's files into the frame's view (the view of the
// moment, so a language switch in between does no harm), selects the last row when none is
// selected, and writes each row's file name and status to the diagnostic log.
void OpenCommandLineFiles(CMainFrame& frame, const QStringList& arguments);

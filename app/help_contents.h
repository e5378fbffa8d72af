#pragma once
// Help > Contents: opens the help manual shipped beside the executable with the desktop's handler.
class QWidget;

// Opens the manual by its full path, whatever the current folder is. When the handler program
// cannot be found the user is told which package provides it; when it finds no program for the
// manual (no web browser) or the manual is missing, the user is told that
// (app/desktop_report.h).
void RunHelpContents(QWidget* pParent);

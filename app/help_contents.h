#pragma once
// Help > Contents: opens the help manual shipped beside the executable with the desktop's handler.
#include <QString>

class QWidget;

// Opens the manual by its full path, whatever the current folder is. When the handler program
// cannot be found the user is told which package provides it; other failures are silent.
void RunHelpContents(QWidget* pParent);

// "Can't find xdg-open. It's included in the xdg-utils package."
QString MissingHelpHandlerText();

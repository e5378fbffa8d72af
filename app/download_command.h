#pragma once
// The Download menu: each item opens its page (a section of the shipped download page, or the
// QuickTime vendor's page) in the default browser. The Convert command's component checks run the
// same handler for the Windows Media and Ogg items.

class QWidget;

// Whether a command is one of the Download menu's items (32771 to 32780).
bool IsDownloadCommand(int nCommand);

// Opens the command's address in the default browser. Without a default browser, or when it
// cannot be started, the user is told over `pParent` what to install. Nothing for a command that
// is not a Download item.
void RunDownloadCommand(int nCommand, QWidget* pParent);

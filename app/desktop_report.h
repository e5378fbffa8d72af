#pragma once
// Opening pages and folders with the programs of the desktop, and telling the user when nothing
// could open them. A desktop may have no web browser or no file manager at all: xdg-open then
// only writes "no method available" on its standard error, and the default-browser lookup finds
// nothing. The user is told what could not be opened, why, and what to install.
#include <QString>

#include <string>

#include "platform/launcher.h"

class QWidget;

// What is opened, for the message.
enum class DesktopTarget {
    kManual, // the help manual (a shipped page)
    kPage,   // a web page or a shipped page
    kFolder, // a folder, in the file manager
};

// Opens a file, folder or address with the desktop's handler (xdg-open). When xdg-open cannot be
// started the user is told at once; when it ends with a failure (it found no program for the
// target, the target does not exist, the program failed) the user is told then, over `pParent`
// (or the active window, when `pParent` has gone by then). Returns how the start went.
platform::LaunchResult OpenWithDesktopReported(QWidget* pParent, const std::string& strTarget,
                                               DesktopTarget what);

// Opens an address in the default web browser. When there is none, or it cannot be started, the
// user is told over `pParent`. Returns how the start went.
platform::LaunchResult OpenInBrowserReported(QWidget* pParent, const std::string& strAddress);

// The message for xdg-open's exit status (2: the target does not exist, 3: no program opens it,
// 4: the program failed, any other: the status itself) when it opened `strTarget`.
QString HandlerEndText(DesktopTarget what, const std::string& strTarget, int nExitCode);
// The message for xdg-open that could not be started.
QString HandlerStartText(DesktopTarget what, const std::string& strTarget,
                         const platform::LaunchResult& result);
// The message for a default browser that is missing or could not be started.
QString BrowserStartText(const std::string& strAddress, const platform::LaunchResult& result);

// "Can't find xdg-open. It's included in the xdg-utils package."
QString MissingHelpHandlerText();

// What to install so that web pages open: "Install a web browser ...".
QString InstallBrowserAdvice();

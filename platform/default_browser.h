#pragma once
// Opens an address in the user's default web browser: the handler of x-scheme-handler/https (else
// of text/html) named by the desktop's mimeapps.list files, started with the Exec line of its
// desktop entry. The browser runs detached (platform/launcher.h).
#include <string>

#include "platform/desktop_entry.h"
#include "platform/launcher.h"

namespace platform {

// The browser's command line for an address: the Exec line of its desktop entry, cut where a
// quoted field code ("%u", "%U", "%f" or "%F", with its quotes) begins, else where a bare one
// begins, followed by one space and the address. An Exec line without a field code keeps all of
// itself. So "\"/opt/b/browser\" \"%u\"" gives "\"/opt/b/browser\"  ADDRESS".
std::string BrowserCommandLine(const std::string& strExec, const std::string& strAddress);

// The desktop entry of the default browser: the handler of x-scheme-handler/https, else the one of
// text/html. Empty when neither is set and installed.
std::string FindDefaultBrowserEntry(const XdgFolders& folders);

// Opens the address in the default browser found through the given folders (the environment's by
// default). The address is passed as one argument, whatever it holds. kNoHandler when no browser
// is set or its entry has no Exec line, kBadCommand when the Exec line cannot be split; otherwise
// what starting the browser gave. fnEnd (when given) learns the browser's exit status.
LaunchResult OpenInDefaultBrowser(const std::string& strAddress, const XdgFolders& folders,
                                  LaunchEndFunction fnEnd = {});
LaunchResult OpenInDefaultBrowser(const std::string& strAddress, LaunchEndFunction fnEnd = {});

} // namespace platform

#pragma once
// Opens an address in the user's default web browser, and a file with the desktop's handler.
//
// Both return a launcher result code: above 32 when the program was started; 0 when no browser
// command could be found; otherwise one of the low codes below, which name why starting failed.
// The started program runs detached (its own session, no shell, standard input from /dev/null)
// and its end is collected in the background.
#include <string>
#include <vector>

#include "platform/desktop_entry.h"

namespace platform {

inline constexpr int kOpenNoCommand = 0;         // no browser command, or out of resources
inline constexpr int kOpenFileNotFound = 2;      // the program does not exist
inline constexpr int kOpenPathNotFound = 3;      // a folder of the program's path does not exist
inline constexpr int kOpenAccessDenied = 5;      // the program may not be run
inline constexpr int kOpenNoMemory = 8;          // not enough memory to start it
inline constexpr int kOpenBadFormat = 11;        // the program file is not an executable
inline constexpr int kOpenSharingViolation = 26; // the program file is being written
inline constexpr int kOpenAssocIncomplete = 27;  // the handler's command cannot be read
inline constexpr int kOpenStarted = 42;          // success (any value above 32)

// The browser's command line for an address: the Exec line of its desktop entry, cut where a
// quoted field code ("%u", "%U", "%f" or "%F", with its quotes) begins, else where a bare one
// begins, followed by one space and the address. An Exec line without a field code keeps all of
// itself. So "\"/opt/b/browser\" \"%u\"" gives "\"/opt/b/browser\"  ADDRESS".
std::string BrowserCommandLine(const std::string& strExec, const std::string& strAddress);

// The desktop entry of the default browser: the handler of x-scheme-handler/https, else the one of
// text/html. Empty when neither is set and installed.
std::string FindDefaultBrowserEntry(const XdgFolders& folders);

// Opens the address in the default browser found through the given folders (the environment's by
// default). The address is passed as one argument, whatever it holds.
int OpenInDefaultBrowser(const std::string& strAddress, const XdgFolders& folders);
int OpenInDefaultBrowser(const std::string& strAddress);

// Opens a file or address with the desktop's handler, "xdg-open", found in the absolute folders
// of PATH. kOpenFileNotFound when xdg-open is not there; the handler's own outcome is not checked.
int OpenWithDesktopHandler(const std::string& strTarget);

// The name of the program that OpenWithDesktopHandler runs, and the package that provides it, for
// the message shown when it is missing.
inline constexpr const char* kDesktopHandlerProgram = "xdg-open";
inline constexpr const char* kDesktopHandlerPackage = "xdg-utils";

// Starts a program detached: args[0] is the program (a path, or a bare name looked for in the
// absolute folders of PATH), the rest its arguments. Returns kOpenStarted or a failure code.
int StartDetachedProgram(const std::vector<std::string>& args);

} // namespace platform

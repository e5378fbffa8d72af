#pragma once
// Opens a folder, file or address with the desktop's handler (xdg-open), the way the file manager
// would. The handler runs detached (platform/launcher.h): the call does not wait for it.
#include <string>

#include "platform/launcher.h"

namespace platform {

// The program that opens things with the desktop's handler, and the package that provides it, for
// the message shown when it is missing.
inline constexpr const char* kDesktopHandlerProgram = "xdg-open";
inline constexpr const char* kDesktopHandlerPackage = "xdg-utils";

// Starts "xdg-open <target>", found in the folders of PATH, with the target as its one argument
// (a target that begins with "-" is passed as "./<target>", so it never reads as an option).
// kFileNotFound when xdg-open is not there. fnEnd (when given) learns xdg-open's exit status: 0
// when the handler was started, non-zero when it found none or the target does not exist.
LaunchResult OpenWithDesktop(const std::string& strTarget, LaunchEndFunction fnEnd = {});

} // namespace platform

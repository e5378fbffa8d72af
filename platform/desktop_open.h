#pragma once
// Opens a folder, file or address with the desktop's handler (xdg-open), the way the file manager
// would. The handler runs detached: the call does not wait for it, and its end is collected in the
// background so it leaves no zombie.
#include <string>

namespace platform {

// Starts "xdg-open <target>" without a shell. Returns 0 when it started, ENOENT when xdg-open was
// not found on PATH, or the error number of the failed start; what the handler does afterwards is
// not checked.
int OpenWithDesktop(const std::string& strTarget);

// The full path of a program found in the folders of PATH (absolute folders only, never the
// current folder), or an empty text.
std::string FindProgramOnPath(const std::string& strName);

} // namespace platform

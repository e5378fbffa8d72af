#pragma once
// Opens a folder, file or address with the desktop's handler (xdg-open), the way the file manager
// would. The handler runs detached: the call does not wait for it, and its end is collected in the
// background so it leaves no zombie.
#include <string>

namespace platform {

// Starts "xdg-open <target>" without a shell. False when the handler could not be found or
// started; what the handler does afterwards is not checked.
bool OpenWithDesktop(const std::string& strTarget);

// The full path of a program found in the folders of PATH (absolute folders only, never the
// current folder), or an empty text.
std::string FindProgramOnPath(const std::string& strName);

} // namespace platform

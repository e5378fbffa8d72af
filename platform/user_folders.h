#pragma once
#include <string>

namespace platform {

// The user's home folder without a trailing "/": $HOME when it is set to an absolute path, else
// the account's home from the password database; empty when neither is known.
std::string HomeFolder();

// The user's configuration folder without a trailing "/": $XDG_CONFIG_HOME when it is an absolute
// path (a relative one is ignored, as the XDG rules say), else the home folder + "/.config"; empty
// when no home folder is known.
std::string ConfigFolder();

} // namespace platform

#pragma once
// Where sibling programs (the encoder) are looked for, and the executable search for a bare name.
#include <string>

namespace platform {

// The full path of the running program's own file (/proc/self/exe resolved), or an empty text
// when it cannot be read.
std::string ExecutablePath();

// The folder that holds the running program (the folder of /proc/self/exe), without a trailing
// "/", unless SetProgramFolder has named another one. Sibling programs such as the encoder are
// looked for here first. Empty when neither is known.
std::string ProgramFolder();

// Names the folder where sibling programs are looked for, for the whole process (tests put a
// scripted encoder in a temporary folder this way). It must be an absolute path; a relative one
// is not searched (it would depend on the current folder). An empty text goes back to the folder
// of the running program. Safe from any thread.
void SetProgramFolder(const std::string& folder);

// Finds the program that a command line's first token names. A name holding a "/" is taken as the
// path itself. A bare name is looked for in ProgramFolder(), then as FindProgramOnPath does.
// Returns the path found, or an empty text.
std::string FindProgram(const std::string& name);

// The executable search for a bare name: the absolute folders of PATH (the system's default search
// path when PATH is not set), in order. The current folder is never searched (an empty or relative
// PATH entry is skipped), so a file planted there never runs. A candidate must be a regular file
// that may be executed. Returns the path found, or an empty text (also for a name holding a "/").
std::string FindProgramOnPath(const std::string& name);

} // namespace platform

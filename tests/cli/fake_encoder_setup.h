#pragma once
// A copy of lumicast-batch beside a scripted encoder: the program looks for "Kestrelvx" in its
// own folder first, so the copy runs the script.
#include <string>

namespace clitest {

// Copies the built program into `folder` and writes there a fake encoder that answers a probe with
// a report of `seconds` and, for a conversion, appends the output path to `runsFile`, writes the
// output and prints `steps` status lines `pause` seconds apart. Returns the copy's path, or "".
std::string SetUpFakeEncoder(const std::string& folder, const std::string& runsFile, int seconds,
                             int steps, const std::string& pause);

} // namespace clitest

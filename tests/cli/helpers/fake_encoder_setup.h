#pragma once
// A copy of lumicast-batch beside a scripted encoder: the program looks for "Kestrelvx" in its
// own folder first, so the copy runs the script.
#include <string>

namespace clitest {

// Copies the built program into `folder` and writes there a fake encoder that answers a probe with
// a report of `seconds` and, for a conversion, appends its process id to `runsFile`.pids and then
// the output path to `runsFile` as it starts, writes the output and prints `steps` status lines
// `pause` seconds apart. The conversions from the `holdFrom`th on (1 for the first; 0 for none)
// then go on writing their output until they are ended. Returns the copy's path, or "".
std::string SetUpFakeEncoder(const std::string& folder, const std::string& runsFile, int seconds,
                             int steps, const std::string& pause, int holdFrom = 0);

} // namespace clitest

#pragma once
// The clock text every window shows for a count of whole seconds.
#include <string>

namespace sources {

// "%02d:%02d:%02d" of whole seconds as hours (not limited to two digits), minutes and seconds:
// 95 gives "00:01:35", 360000 gives "100:00:00".
std::string ClockText(int nSeconds);

} // namespace sources

#pragma once
#include <cstdio>

namespace platform {

// True when the stream writes to a terminal (a line that redraws is then possible).
bool IsTerminal(std::FILE* stream);

} // namespace platform

#include "sources/clock_text.h"

#include <cstdio>

namespace sources {

std::string ClockText(int nSeconds) {
    // Negative values come out as "%02d" writes them; records never hold them.
    char text[40];
    std::snprintf(text, sizeof(text), "%02d:%02d:%02d", nSeconds / 3600, nSeconds / 60 % 60,
                  nSeconds % 60);
    return text;
}

} // namespace sources

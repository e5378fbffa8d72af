#include "kestrelvx/mpeg4_pass_log.h"

#include <cstdlib>
#include <fstream>
#include <string_view>

namespace kestrelvx {
namespace {

// FFmpeg's quantiser 31 in the lambda units the log gives the frame's quantiser in.
constexpr double kCoarsestLambda = 31.0 * 118.0;

// The number after "name:" in a log line, or -1 when the line has none.
double Field(std::string_view line, std::string_view name) {
    for (size_t at = line.find(name); at != std::string_view::npos; at = line.find(name, at + 1)) {
        const bool wordStart = at == 0 || line[at - 1] == ' ';
        if (wordStart && at + name.size() < line.size() && line[at + name.size()] == ':') {
            const std::string value(line.substr(at + name.size() + 1, 24));
            char* end = nullptr;
            const double number = std::strtod(value.c_str(), &end);
            return end != value.c_str() ? number : -1.0;
        }
    }
    return -1.0;
}

} // namespace

int64_t Mpeg4LeastBits(const std::string& path) {
    std::ifstream log(path);
    double bits = 0.0;
    int64_t frames = 0;
    for (std::string line; std::getline(log, line);) {
        // "in:0 out:0 type:1 q:446 itex:132455 ptex:0 mv:0 misc:6022 ... hbits:483;"
        const double q = Field(line, "q");
        const double itex = Field(line, "itex");
        const double ptex = Field(line, "ptex");
        const double mv = Field(line, "mv");
        const double misc = Field(line, "misc");
        if (q <= 0.0 || itex < 0.0 || ptex < 0.0 || mv < 0.0 || misc < 0.0) {
            return 0; // not the log this reckoning knows
        }
        bits += mv + misc + q * (itex + ptex + 1.0) / kCoarsestLambda;
        ++frames;
    }
    return frames > 0 ? static_cast<int64_t>(bits) : 0;
}

} // namespace kestrelvx

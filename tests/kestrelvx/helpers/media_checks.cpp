#include "kestrelvx/helpers/media_checks.h"

#include <cstdlib>
#include <regex>

namespace kestrelvx_test {
namespace {

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

// The raw bytes of the first frame, after filters, in the given pixel format.
std::string RawFirstFrame(const std::vector<std::string>& inputOptions, const std::string& path,
                          const std::vector<std::string>& outputOptions, const std::string& filters,
                          const std::string& pixelFormat) {
    std::vector<std::string> argv = {"/usr/bin/ffmpeg", "-v", "quiet", "-nostdin"};
    argv.insert(argv.end(), inputOptions.begin(), inputOptions.end());
    argv.insert(argv.end(), {"-i", path});
    argv.insert(argv.end(), outputOptions.begin(), outputOptions.end());
    argv.insert(argv.end(),
                {"-frames:v", "1", "-vf", filters, "-f", "rawvideo", "-pix_fmt", pixelFormat, "-"});
    const testkit::ProgramRun run = testkit::RunProgram(argv, 60000);
    return run.exitCode == 0 ? run.output : std::string();
}

} // namespace

testkit::ProgramRun Ffmpeg(std::vector<std::string> args) {
    std::vector<std::string> argv = {"/usr/bin/ffmpeg", "-hide_banner", "-nostdin", "-y"};
    argv.insert(argv.end(), args.begin(), args.end());
    return testkit::RunProgram(argv, 60000);
}

std::string VideoField(const std::string& path, const std::string& field) {
    return Trimmed(testkit::RunProgram({"/usr/bin/ffprobe", "-v", "error", "-select_streams", "v:0",
                                        "-show_entries", "stream=" + field, "-of", "csv=p=0", path})
                       .output);
}

std::string PictureArea(const std::string& path) {
    const testkit::ProgramRun run =
        Ffmpeg({"-i", path, "-vf", "cropdetect=limit=0.1:round=2:reset=1", "-f", "null", "-"});
    const std::regex crop("crop=([0-9]+:[0-9]+:[0-9]+:[0-9]+)");
    std::string last;
    for (auto it = std::sregex_iterator(run.output.begin(), run.output.end(), crop);
         it != std::sregex_iterator(); ++it) {
        last = (*it)[1];
    }
    return last;
}

std::string Messages(const std::string& output) {
    std::string messages;
    size_t start = 0;
    while (start < output.size()) {
        const size_t end = output.find_first_of("\r\n", start);
        const std::string piece = output.substr(start, end - start);
        if (end != std::string::npos && output[end] == '\n') {
            messages += piece + "\n";
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return messages;
}

double FrameAverage(const std::string& path, const std::string& filters) {
    const std::string chain = (filters.empty() ? "" : filters + ",") + "format=gray";
    const std::string frame = RawFirstFrame({}, path, {}, chain, "gray");
    if (frame.empty()) {
        return -1.0;
    }
    double sum = 0.0;
    for (char c : frame) {
        sum += static_cast<unsigned char>(c);
    }
    return sum / static_cast<double>(frame.size());
}

std::string Colour::Name() const {
    if (r < 0) {
        return {};
    }
    if (r > g && r > b) {
        return "red";
    }
    return g > b ? "green" : "blue";
}

Colour RegionColour(const std::string& path, int x, int y, int width, int height) {
    const std::string crop = "crop=" + std::to_string(width) + ":" + std::to_string(height) + ":" +
                             std::to_string(x) + ":" + std::to_string(y) + ",scale=1:1:flags=area";
    const std::string pixel = RawFirstFrame({}, path, {}, crop, "rgb24");
    Colour colour;
    if (pixel.size() == 3) {
        colour.r = static_cast<unsigned char>(pixel[0]);
        colour.g = static_cast<unsigned char>(pixel[1]);
        colour.b = static_cast<unsigned char>(pixel[2]);
    }
    return colour;
}

int ShownCount(const std::vector<std::string>& inputOptions, const std::string& path,
               const std::vector<std::string>& outputOptions) {
    const std::string bands =
        RawFirstFrame(inputOptions, path, outputOptions, "scale=8:1:flags=area", "gray");
    if (bands.size() != 8) {
        return -1;
    }
    int count = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (static_cast<unsigned char>(bands[static_cast<size_t>(bit)]) > 128) {
            count |= 1 << bit;
        }
    }
    return count;
}

std::string CountingClipFilters(int width, int height, int rate, double seconds) {
    return "color=black:size=" + std::to_string(width) + "x" + std::to_string(height) +
           ":rate=" + std::to_string(rate) + ":d=" + std::to_string(seconds) +
           ",format=yuv420p,geq=lum='if(mod(floor(N/pow(2,floor(X*8/W))),2),235,16)'"
           ":cb=128:cr=128";
}

} // namespace kestrelvx_test

#include "kestrelvx/tone_map.h"

#include <initializer_list>

namespace kestrelvx {
namespace {

// A stream's tag when zscale knows it by the same name, else the usual value of HDR video.
std::string Known(const std::string& tag, std::initializer_list<const char*> known,
                  const char* usual) {
    for (const char* name : known) {
        if (tag == name) {
            return tag;
        }
    }
    return usual;
}

} // namespace

std::string ToneMapFilters(const StreamFacts& video) {
    const std::string primaries =
        Known(video.primaries, {"bt709", "bt2020", "smpte431", "smpte432"}, "bt2020");
    const std::string matrix = Known(video.matrix, {"bt709", "bt2020nc", "bt2020c"}, "bt2020nc");
    // To linear light with 100 cd/m2 as 1.0, to BT.709 primaries, Hable's curve (whose peak
    // follows the stream's light level or mastering display when it has them), then back to the
    // BT.709 curve and matrix.
    return "zscale=tin=" + video.transfer + ":pin=" + primaries + ":min=" + matrix +
           ":rin=" + (video.fullRange ? "full" : "limited") +
           ":t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,"
           "tonemap=tonemap=hable:desat=0,zscale=t=bt709:m=bt709:r=limited,format=yuv420p";
}

std::vector<std::string> Bt709Tags() {
    return {"-color_primaries", "bt709", "-color_trc",   "bt709",
            "-colorspace",      "bt709", "-color_range", "tv"};
}

std::string ToneMapNote(const StreamFacts& video) {
    const std::string curve = video.transfer == "smpte2084" ? "PQ" : "HLG";
    return "the picture is HDR (" + curve +
           (video.primaries.empty() ? "" : ", " + video.primaries) + "); tone-mapped to SDR BT.709";
}

} // namespace kestrelvx

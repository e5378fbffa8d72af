#pragma once
// Turning a picture in high dynamic range (PQ or HLG) into standard range for the 8-bit outputs.
#include <string>
#include <vector>

#include "kestrelvx/media_facts.h"

namespace kestrelvx {

// The filters that tone-map the frames of video (an HDR stream) to standard range with BT.709
// primaries, 8-bit 4:2:0, for the end of a filter chain before padding.
std::string ToneMapFilters(const StreamFacts& video);

// The output options that tag the encoded stream as BT.709.
std::vector<std::string> Bt709Tags();

// "the source is HDR (PQ, bt2020); tone-mapped to SDR BT.709"
std::string ToneMapNote(const StreamFacts& video);

} // namespace kestrelvx

#pragma once
// Which subtitle tracks of a source an output carries, and how.
#include <string>
#include <vector>

#include "kestrelvx/media_facts.h"

namespace kestrelvx {

struct SubtitlePlan {
    std::vector<std::string> args; // the maps, codecs, languages and default flags for ffmpeg
    int carried = 0;
    // What could not be carried, for a note: "2 subtitle tracks were not carried: #0.3 (eng,
    // hdmv_pgs_subtitle: a picture subtitle, MP4 and MOV take text), #0.4 (...)"; empty when
    // every track was carried.
    std::string note;
};

// The subtitles of source in an output of container ("mp4", "mov") or, for a standard disc, of
// target ("pal-dvd", ...). MP4 and MOV outputs carry every text subtitle (SRT, ASS/SSA, WebVTT,
// mov_text, ...) as a soft mov_text track with its language and default flag; a DVD carries DVD
// subtitles as they are; the other standard discs hold none.
SubtitlePlan PlanSubtitles(const std::string& container, const std::string& target,
                           const MediaFacts& source);

} // namespace kestrelvx

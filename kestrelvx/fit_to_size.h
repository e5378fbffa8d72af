#pragma once
// A conversion whose output must hold at most a number of bytes (the batch program's size limit).
#include <cstdint>
#include <string>

#include "kestrelvx/convert_request.h"
#include "kestrelvx/media_facts.h"

namespace kestrelvx {

// Converts as PlanFfmpegRun plans it, with the bit rates of PlanSizeBudget: a limit that cannot be
// met at a watchable quality fails before anything is converted. The video goes in two passes:
// the analysis pass also writes the sound alone, so that the video gets exactly what the sound
// leaves (and an MPEG-4 video that cannot get that small fails there, naming the size it needs).
// The second pass writes the output under a hidden name beside it; one over the limit is converted
// again at a lower rate (twice at most), and only one within the limit is moved to the output's
// name. The status lines count from 0 to the part's end once over both passes. Returns the exit
// status: 0, 1 for a failure, 128 + the signal after a stop, kExitDiskFull.
int ConvertToSize(const std::string& program, const ConvertRequest& request,
                  const MediaFacts& source, int64_t seekLeadUs);

} // namespace kestrelvx

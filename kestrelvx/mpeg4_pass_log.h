#pragma once
// What the analysis pass of FFmpeg's MPEG-4 encoder learnt: how small the video can get.
#include <cstdint>
#include <string>

namespace kestrelvx {

// The fewest bits the MPEG-4 video analysed into the pass log at path can take in the second pass,
// with every frame at the coarsest quantiser (31): the bits of its motion vectors and other
// syntax as the analysis wrote them, and its texture bits scaled from the frame's quantiser to 31,
// as FFmpeg's two-pass rate control reckons them. 0 when the log cannot be read or holds no frame.
int64_t Mpeg4LeastBits(const std::string& path);

} // namespace kestrelvx

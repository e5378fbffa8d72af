#pragma once
// The encoder job's read loop: reads the encoder's console output and keeps the percent.
#include <atomic>
#include <cstdint>

class CEncoderReason;

// Reads `fd` until the output ends (a read reports the end or fails) or `cancel` is set: seen at
// a parse, and also after 100 ms without output (an encoder that hangs silently is not waited
// for). Output is gathered into a 2,047-byte buffer and parsed (ParseProgressChunk) only when at
// least 500 ms (unsigned difference of `tick` readings) have passed since the last parse; a
// buffer that fills up before then is dropped unparsed. The first parsed chunk of a run is
// logged whole, and the line that moves progress off a multiple of ten is logged. Sets `percent`
// to 100 at the end. Allocates nothing: both buffers are on the stack. `tick` is the clock in
// milliseconds (platform::TickCount in the product). Every byte read, parsed or not, is also fed
// to `pReason` when one is given, so the encoder's reason for a failure is never lost.
void ReadEncoderProgress(int fd, std::int64_t duration, std::atomic<std::int32_t>& percent,
                         const std::atomic<bool>& cancel, std::uint32_t (*tick)(),
                         CEncoderReason* pReason = nullptr);

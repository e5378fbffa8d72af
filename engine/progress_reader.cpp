#include "engine/progress_reader.h"

#include "engine/encoder_reason.h"
#include "engine/progress_parser.h"
#include "support/log.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBufferSize = 2048;         // at most 2,047 bytes and a terminating zero
constexpr std::size_t kReadMax = kBufferSize - 1; // output bytes held at once
constexpr std::uint32_t kParseIntervalMs = 500;
// How often a cancel is looked at while the encoder prints nothing (a hung encoder, or one that
// opens a large input): Skip and Cancel All end it within this time, not at its next output.
constexpr int kSilentCancelPollMs = 100;

} // namespace

void ReadEncoderProgress(int fd, std::int64_t duration, std::atomic<std::int32_t>& percent,
                         const std::atomic<bool>& cancel, std::uint32_t (*tick)(),
                         CEncoderReason* pReason) {
    char szBuffer[kBufferSize];
    char szLine[kProgressLineSize];
    std::size_t nFill = 0;
    bool bFirstChunk = true;
    std::uint32_t lastParse = tick();
    for (;;) {
        pollfd pfd{fd, POLLIN, 0};
        const int nReady = poll(&pfd, 1, kSilentCancelPollMs);
        if (nReady < 0 && errno == EINTR) {
            continue;
        }
        if (nReady == 0) {
            if (cancel.load(std::memory_order_relaxed)) {
                break;
            }
            continue;
        }
        const ssize_t n = read(fd, szBuffer + nFill, kReadMax - nFill);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break; // the encoder's end of the pipe has closed
        }
        if (pReason != nullptr) {
            pReason->Feed(szBuffer + nFill, static_cast<std::size_t>(n));
        }
        nFill += static_cast<std::size_t>(n);
        const std::uint32_t now = tick();
        if (now - lastParse < kParseIntervalMs) {
            if (nFill == kReadMax) {
                nFill = 0; // a full buffer between two parses is dropped unread
            }
            continue;
        }
        szBuffer[nFill] = '\0';
        if (bFirstChunk) {
            WriteLogLine("%s", szBuffer);
            bFirstChunk = false;
        }
        const ProgressUpdate update = ParseProgressChunk(
            szBuffer, nFill, duration, percent.load(std::memory_order_relaxed), szLine);
        if (update.bChanged) {
            if (update.bLogLine) {
                WriteLogLine("%s", szLine);
            }
            percent.store(update.nPercent, std::memory_order_relaxed);
        }
        nFill = 0;
        lastParse = now;
        if (cancel.load(std::memory_order_relaxed)) {
            break;
        }
    }
    if (pReason != nullptr) {
        pReason->EndOfOutput();
    }
    percent.store(100, std::memory_order_relaxed);
}

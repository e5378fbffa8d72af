// The encoder's console output as a progress reader sees it (engine/progress_parser and
// engine/progress_reader): any bytes, cut into chunks wherever a pipe may cut them, read while the
// clock moves by any steps.
//
// Input: the duration (8 bytes), the percent shown so far (1 byte), the chunk at which Skip is
// pressed (1 byte; 0 and numbers past the last chunk: never), then records of one length
// byte, one clock-step byte and up to that many bytes of output.
#include "engine/progress_parser.h"
#include "engine/progress_reader.h"
#include "fuzz_check.h"
#include "support/log.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kPipeChunks = 24;

struct Chunk {
    std::vector<char> bytes;
    std::uint32_t nClockStep = 0; // milliseconds the clock moves when this chunk is read
};

// The pipe feeder. ReadEncoderProgress reads the clock once before its first read and once after
// every read that got bytes, so the clock function is where the next chunk is written: whenever
// the pipe is empty it gets the next chunk, and after the last one the writing end closes. The
// reader therefore never waits, and every chunk boundary the input asks for is a read boundary
// (unless the reader's buffer has less room than the chunk).
struct Feeder {
    const std::vector<Chunk>* pChunks = nullptr;
    std::size_t nNext = 0;
    int nWriteFd = -1;
    std::uint32_t nClock = 0;
    std::size_t nCancelAt = 0; // Skip is pressed when this chunk is written (0: never)
};
Feeder g_feeder;
std::atomic<bool> g_bCancel{false};

std::uint32_t FeedAndTick() {
    Feeder& f = g_feeder;
    int waiting = 0;
    if (f.nWriteFd >= 0 && ioctl(f.nWriteFd, FIONREAD, &waiting) == 0 && waiting == 0) {
        if (f.nNext < f.pChunks->size()) {
            const Chunk& chunk = (*f.pChunks)[f.nNext++];
            const ssize_t n = write(f.nWriteFd, chunk.bytes.data(), chunk.bytes.size());
            FUZZ_CHECK(n == static_cast<ssize_t>(chunk.bytes.size()));
            f.nClock += chunk.nClockStep;
            if (f.nNext == f.nCancelAt) {
                g_bCancel.store(true);
            }
        } else {
            close(f.nWriteFd);
            f.nWriteFd = -1;
        }
    }
    return f.nClock;
}

std::uint64_t Take(const std::uint8_t*& data, std::size_t& size, std::size_t n) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < n && size > 0; ++i, ++data, --size) {
        value |= static_cast<std::uint64_t>(*data) << (8 * i);
    }
    return value;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetLogPath(""); // the first chunk and the tens lines would go to the log: nowhere
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto duration = static_cast<std::int64_t>(Take(data, size, 8));
    const auto shown = static_cast<std::int32_t>(Take(data, size, 1) % 101);
    const std::size_t cancelAt = static_cast<std::size_t>(Take(data, size, 1) % 32);

    // Chunks: a length byte (0 stands for 1,000, longer than the reader's room), a clock step
    // (times 8 ms, so both sides of the 500 ms interval come up), then the bytes.
    std::vector<Chunk> chunks;
    while (size > 0) {
        std::size_t length = static_cast<std::size_t>(Take(data, size, 1));
        if (length == 0) {
            length = 1000;
        }
        Chunk chunk;
        chunk.nClockStep = static_cast<std::uint32_t>(Take(data, size, 1)) * 8U;
        length = std::min(length, size);
        chunk.bytes.assign(data, data + length);
        data += length;
        size -= length;
        if (!chunk.bytes.empty()) {
            chunks.push_back(std::move(chunk));
        }
    }

    // 1. Every chunk parsed on its own, from a block of exactly its size, into a line buffer of
    //    exactly kProgressLineSize bytes, so the address sanitizer sees any step outside them.
    std::int32_t percent = shown;
    for (const Chunk& chunk : chunks) {
        const std::size_t n = chunk.bytes.size();
        const auto text = std::make_unique<char[]>(n);
        std::memcpy(text.get(), chunk.bytes.data(), n);
        const auto line = std::make_unique<char[]>(kProgressLineSize);
        const ProgressUpdate update =
            ParseProgressChunk(text.get(), n, duration, percent, line.get());
        FUZZ_CHECK(std::memchr(line.get(), '\0', kProgressLineSize) != nullptr);
        if (update.bChanged) {
            FUZZ_CHECK(update.nPercent >= 0 && update.nPercent <= 99);
            FUZZ_CHECK(!update.bLogLine || update.nPercent > percent);
            percent = update.nPercent;
        } else {
            FUZZ_CHECK(!update.bLogLine);
        }
        const std::int32_t value = LeadingInteger(text.get(), n);
        (void)value;
    }

    // 2. The whole read loop over a real pipe, with at most kPipeChunks chunks (every chunk costs
    //    a few system calls).
    if (chunks.size() > kPipeChunks) {
        chunks.resize(kPipeChunks);
    }
    int fds[2];
    FUZZ_CHECK(pipe2(fds, O_CLOEXEC) == 0);
    g_feeder = Feeder{&chunks, 0, fds[1], 0, cancelAt};
    g_bCancel.store(false);
    std::atomic<std::int32_t> shownPercent{shown};
    ReadEncoderProgress(fds[0], duration, shownPercent, g_bCancel, &FeedAndTick);
    FUZZ_CHECK(shownPercent.load() == 100);
    if (g_feeder.nWriteFd >= 0) {
        close(g_feeder.nWriteFd);
    }
    close(fds[0]);
    return 0;
}

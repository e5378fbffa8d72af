#pragma once
// One conversion by the encoder: starts it, reads its console output, keeps the progress.
#include "platform/tick.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class CEncoderJob {
public:
    CEncoderJob() = default;
    virtual ~CEncoderJob() = default;
    CEncoderJob(const CEncoderJob&) = delete;
    CEncoderJob& operator=(const CEncoderJob&) = delete;

    // Runs one conversion to its end on the calling thread: writes the command line
    // (FormatEncoderCommand) and logs it, starts the encoder at idle priority, reads its output
    // until it ends or the job is cancelled, then ends what is left of it. Start and end are
    // whole seconds; the caller never passes an end equal to the start.
    // Returns 0 when the encoder ran and converted the file, or when the run was cancelled (what
    // the encoder wrote stays on disk). Returns -1 when the command line would be longer than
    // kMaxEncoderCommandLine (it is logged, never cut, and nothing is started), when the encoder
    // cannot be started (percent stays 0), or when a run that was not cancelled ended with a
    // non-zero exit status or left no output file.
    int Run(const std::string& input, const std::string& output, const std::string& title,
            const std::string& options, std::int64_t start, std::int64_t end);

    // Read and written by other threads without a lock (relaxed order is enough: each is one value
    // with one writer at a time, and a reader accepts a value that is one poll old).
    std::atomic<std::int32_t> m_nPercent{0};  // 0 at the start, 0..99 while running, 100 at the end
    std::atomic<std::int64_t> m_nDuration{0}; // end minus start of the current run, seconds
    // Set by Skip / Cancel All; seen at the next parse, or after 100 ms in which nothing came.
    std::atomic<bool> m_bCancel{false};

    // The clock of the read loop, in milliseconds (platform::TickCount); a test may set its own.
    std::uint32_t (*m_pfnTick)() = platform::TickCount;
    // "NAME=value" entries the encoder gets on top of this process's environment (a batch that
    // runs encoders side by side gives each its own notes file this way). Set before Run.
    std::vector<std::string> m_extraEnvironment;

    // Why the last run failed, as one sentence (engine/failure_cause.h), also written to the log;
    // "" after a run that did not fail or whose failure has no cause of its own to name. Written
    // by Run on its own thread, read there after it returned.
    std::string m_strCause;
};

#include "probe/probe_with_encoder.h"

#include "engine/encoder_command.h"
#include "engine/encoder_reason.h"
#include "engine/encoder_start.h"
#include "engine/failure_cause.h"
#include "platform/child_proc.h"
#include "platform/tick.h"
#include "probe/report_parser.h"
#include "support/log.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBufferSize = 2048;
constexpr std::size_t kReportMax = kBufferSize - 1;

enum class Drain { kEnded, kFull, kSilent };

// How long an encoder whose output has ended is given to end too, so that a crash is told from
// an ordinary end.
constexpr int kEndWaitMs = 500;

// Reads the encoder's output into the buffer until it ends, the buffer is full, or the encoder
// has printed nothing for silenceTimeoutMs. Time in which the encoder was ready to run but got no
// processor (it runs at the idle class, so a busy machine holds it back) does not count as
// silence: only an encoder that is stuck, blocked or spinning, is given up.
Drain ReadReport(const ChildProc& proc, char* buffer, std::size_t& fill, int silenceTimeoutMs) {
    const auto limit = static_cast<std::int64_t>(silenceTimeoutMs);
    std::uint32_t lastOutput = platform::TickCount();
    std::int64_t queuedAtOutput = ChildProcQueuedMs(proc);
    while (fill < kReportMax) {
        std::int64_t silent = static_cast<std::int64_t>(platform::TickCount() - lastOutput);
        const std::int64_t queued = ChildProcQueuedMs(proc);
        if (queued >= 0 && queuedAtOutput >= 0 && queued > queuedAtOutput) {
            silent -= queued - queuedAtOutput;
        }
        if (silent >= limit) {
            return Drain::kSilent;
        }
        pollfd pfd{proc.nOutputFd, POLLIN, 0};
        const int ready =
            poll(&pfd, 1, static_cast<int>(std::max<std::int64_t>(limit - silent, 1)));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Drain::kEnded;
        }
        if (ready == 0) {
            continue; // the silence is measured again at the top
        }
        const ssize_t n = read(proc.nOutputFd, buffer + fill, kReportMax - fill);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            return Drain::kEnded;
        }
        fill += static_cast<std::size_t>(n);
        lastOutput = platform::TickCount();
        queuedAtOutput = ChildProcQueuedMs(proc);
    }
    return Drain::kFull;
}

// The text of the encoder's last "Kestrelvx: error: " line in the report, "" when there is none.
std::string EncoderReasonText(const char* pReport, std::size_t nReport) {
    CEncoderReason reason;
    reason.Feed(pReport, nReport);
    reason.EndOfOutput();
    return reason.Cause();
}

} // namespace

HResult RunEncoderProbe(FileMediaFormat& record, const std::string& path, int silenceTimeoutMs,
                        std::string* pCause) {
    char szReport[kBufferSize] = {};
    std::size_t nFill = 0;
    bool bSilent = false;
    bool bStartFailed = false;
    bool bTooLong = false;
    int nExitCode = 0; // the encoder's, when it ended by itself after its output

    const std::string command = FormatProbeCommand(path);
    ChildProc proc{};
    EncoderCommandBuffer szCommand;
    // A longer command line is never cut: the encoder is not started and the report is empty.
    if (CopyEncoderCommand(command, szCommand)) {
        if (StartEncoder(szCommand, proc) == 0) {
            const Drain drain = ReadReport(proc, szReport, nFill, silenceTimeoutMs);
            bSilent = drain == Drain::kSilent;
            if (drain == Drain::kEnded && ChildProcWait(proc, kEndWaitMs) == 0) {
                nExitCode = static_cast<int>(proc.nExitCode);
            }
        } else {
            bStartFailed = true;
        }
    } else {
        bTooLong = true;
    }
    ChildProcTerminate(proc);
    ChildProcClose(proc);
    if (bSilent) {
        WriteLogLine("The encoder printed nothing for %d ms; probe given up: %s", silenceTimeoutMs,
                     path.c_str());
    }

    ParseEncoderReport(std::string(szReport, nFill), record);
    FillRecordFromPath(path, record);
    const HResult hr =
        bSilent ? kResultFail : (record.m_nDuration > 0 ? kResultOk : kResultNoDuration);
    if (Failed(hr)) {
        std::string strCause = SourceGoneCause(path);
        if (strCause.empty() && bTooLong) {
            strCause = "The path is too long for the encoder's command line: " + path;
        } else if (strCause.empty() && bStartFailed) {
            strCause = EncoderStartCause();
        } else if (strCause.empty() && bSilent) {
            strCause = "The encoder printed nothing for " +
                       std::to_string(silenceTimeoutMs / 1000) + " s and was ended: " + path;
        } else if (strCause.empty()) {
            // A signal is a cause of the run; a probe's report ends with a failure status anyway.
            strCause = EncoderSignalCause(nExitCode);
        }
        if (strCause.empty()) {
            // Nothing went wrong with the run: the file itself, as the encoder saw it.
            strCause = ProbeReportCause(EncoderReasonText(szReport, nFill), szReport);
            WriteLogLine("Cannot read %s: %s", path.c_str(), strCause.c_str());
        } else {
            WriteLogLine("%s", strCause.c_str());
        }
        if (pCause != nullptr) {
            *pCause = strCause;
        }
    } else if (pCause != nullptr) {
        pCause->clear();
    }
    return hr;
}

int ProbeSilenceTimeoutMs() {
    constexpr long kMostMs = 86400000L;
    const char* text = std::getenv("LUMICAST_PROBE_SILENCE_MS");
    if (text == nullptr || *text < '0' || *text > '9') {
        return kProbeSilenceTimeoutMs;
    }
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < 1 || value > kMostMs) {
        return kProbeSilenceTimeoutMs;
    }
    return static_cast<int>(value);
}

HResult ProbeWithEncoder(FileMediaFormat& record, const std::string& strPath, std::string* pCause) {
    return RunEncoderProbe(record, strPath, ProbeSilenceTimeoutMs(), pCause);
}

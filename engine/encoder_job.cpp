#include "engine/encoder_job.h"

#include "engine/encoder_command.h"
#include "engine/encoder_reason.h"
#include "engine/encoder_start.h"
#include "engine/failure_cause.h"
#include "engine/progress_reader.h"
#include "platform/child_proc.h"
#include "platform/file_paths.h"
#include "support/log.h"

#include <optional>
#include <unistd.h>

namespace {

constexpr int kExitPollMs = 100;

} // namespace

int CEncoderJob::Run(const std::string& input, const std::string& output, const std::string& title,
                     const std::string& options, std::int64_t start, std::int64_t end) {
    const auto duration = static_cast<std::int64_t>(static_cast<std::uint64_t>(end) -
                                                    static_cast<std::uint64_t>(start));
    m_nDuration.store(duration, std::memory_order_relaxed);
    m_nPercent.store(0, std::memory_order_relaxed);
    m_bCancel.store(false, std::memory_order_relaxed);
    m_strCause.clear();

    const std::string command = FormatEncoderCommand(input, output, title, options, start, end);
    EncoderCommandBuffer szCommand;
    if (!CopyEncoderCommand(command, szCommand)) {
        WriteLogLine("%s", command.c_str());
        WriteLogLine("The encoder command line has %zu characters, more than %zu; not started.",
                     command.size(), kMaxEncoderCommandLine);
        return -1;
    }
    WriteLogLine("%s", szCommand.data());

    // The output name is chosen free; if something stood there anyway it is never removed.
    const bool bOutputExisted = FileExists(output);
    ChildProc proc{};
    std::optional<CEncoderEnvironment> environment;
    if (!m_extraEnvironment.empty()) {
        environment.emplace(m_extraEnvironment);
        proc.ppszEnvironment = environment->Pointers();
    }
    if (StartEncoder(szCommand, proc) != 0) {
        m_strCause = EncoderStartCause();
        WriteLogLine("%s", m_strCause.c_str());
        return -1;
    }

    CEncoderReason reason;
    ReadEncoderProgress(proc.nOutputFd, duration, m_nPercent, m_bCancel, m_pfnTick, &reason);

    // The output has ended. Unless the run was cancelled, wait for the encoder to end and judge
    // it by its exit status and its output file (a cancel during this wait still ends it).
    bool bCancelled = m_bCancel.load(std::memory_order_relaxed);
    while (!bCancelled && ChildProcWait(proc, kExitPollMs) != 0) {
        bCancelled = m_bCancel.load(std::memory_order_relaxed);
    }
    bool bConverted = false;
    if (!bCancelled) {
        bConverted = proc.nExitCode == 0 && FileExists(output) && !FolderExists(output);
        if (!bConverted) {
            WriteLogLine("The encoder ended with status %d%s.", static_cast<int>(proc.nExitCode),
                         FileExists(output) ? "" : " and wrote no output file");
            if (reason.Text()[0] != '\0') {
                WriteLogLine("%s", reason.Text());
            }
            m_strCause = EncoderEndCause(static_cast<int>(proc.nExitCode), input, output);
            if (!m_strCause.empty()) {
                WriteLogLine("%s", m_strCause.c_str());
            }
        }
    }
    // The encoder and everything it started are ended before its output is judged or removed.
    ChildProcTerminate(proc);
    ChildProcClose(proc);
    // A skipped, cancelled or failed run leaves no half-written file under the finished name,
    // where a user could take it for a good one.
    if (!bConverted && !bOutputExisted && FileExists(output) && !FolderExists(output)) {
        if (unlink(output.c_str()) == 0) {
            WriteLogLine("Removed the unfinished output %s", output.c_str());
        }
    }
    return bCancelled || bConverted ? 0 : -1;
}

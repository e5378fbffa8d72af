#include "engine/encoder_job.h"

#include "engine/encoder_command.h"
#include "engine/encoder_start.h"
#include "engine/progress_reader.h"
#include "platform/child_proc.h"
#include "platform/file_paths.h"
#include "platform/tick.h"
#include "support/log.h"

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

    const std::string command = FormatEncoderCommand(input, output, title, options, start, end);
    EncoderCommandBuffer szCommand;
    if (!CopyEncoderCommand(command, szCommand)) {
        WriteLogLine("%s", command.c_str());
        WriteLogLine("The encoder command line has %zu characters, more than %zu; not started.",
                     command.size(), kMaxEncoderCommandLine);
        return -1;
    }
    WriteLogLine("%s", szCommand.data());

    ChildProc proc{};
    if (StartEncoder(szCommand, proc) != 0) {
        ChildProcTerminate(proc);
        ChildProcClose(proc);
        return -1;
    }

    ReadEncoderProgress(proc.nOutputFd, duration, m_nPercent, m_bCancel, platform::TickCount);

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
        }
    }
    ChildProcTerminate(proc);
    ChildProcClose(proc);
    return bCancelled || bConverted ? 0 : -1;
}

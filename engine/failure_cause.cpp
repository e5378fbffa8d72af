#include "engine/failure_cause.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/encoder_channel.h"
#include "engine/encoder_contract.h"
#include "platform/file_paths.h"
#include "platform/program_folder.h"

namespace {

// A child that ends by a signal has the exit code 128 + the signal, as a shell reports it.
constexpr int kSignalBase = 128;
constexpr int kHighestSignal = 64;

bool IsCrashSignal(int nSignal) {
    return nSignal == SIGSEGV || nSignal == SIGBUS || nSignal == SIGILL || nSignal == SIGFPE ||
           nSignal == SIGABRT || nSignal == SIGTRAP || nSignal == SIGSYS;
}

int SignalOf(int nExitCode) {
    return nExitCode > kSignalBase && nExitCode <= kSignalBase + kHighestSignal
               ? nExitCode - kSignalBase
               : 0;
}

} // namespace

std::string SourceGoneCause(const std::string& strPath) {
    return FileExists(strPath) ? std::string() : "The source is gone: " + strPath;
}

std::string EncoderStartCause() {
    const std::string strFolder = platform::ProgramFolder();
    const std::string strBeside = strFolder + "/" + kEncoderName;
    struct stat info {};
    if (!strFolder.empty() && stat(strBeside.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode) || access(strBeside.c_str(), X_OK) != 0) {
            return "The encoder is not executable: " + strBeside;
        }
        return "The encoder could not be started: " + strBeside;
    }
    const std::string strFound = platform::FindProgram(kEncoderName);
    if (!strFound.empty()) {
        return "The encoder could not be started: " + strFound;
    }
    return "The encoder could not be found: " + std::string(kEncoderName) +
           " is neither beside the program (" + strFolder + ") nor in PATH.";
}

std::string OutputFolderCause(const std::string& strFolder, bool bWasThere) {
    std::string strName = strFolder;
    while (strName.size() > 1 && strName.back() == '/') {
        strName.pop_back();
    }
    if (!FolderExists(strName)) {
        return bWasThere ? "The output folder is gone: " + strName
                         : "The output folder could not be created: " + strName;
    }
    if (access(strName.c_str(), W_OK | X_OK) != 0) {
        return "The output folder is not writable: " + strName + " (" + std::strerror(errno) + ")";
    }
    return {};
}

std::string EncoderEndCause(int nExitCode, const std::string& strInput,
                            const std::string& strOutput) {
    if (std::string strGone = SourceGoneCause(strInput); !strGone.empty()) {
        return strGone;
    }
    const std::string strFolder = FolderOfPath(strOutput);
    if (!FolderExists(strFolder)) {
        return "The output folder is gone: " + strFolder;
    }
    if (nExitCode == kestrelvx::kExitDiskFull || SignalOf(nExitCode) == SIGXFSZ) {
        return "The disk is full: " + strOutput + " could not be written.";
    }
    return EncoderSignalCause(nExitCode);
}

std::string EncoderSignalCause(int nExitCode) {
    const int nSignal = SignalOf(nExitCode);
    if (IsCrashSignal(nSignal)) {
        return "The encoder crashed (signal " + std::to_string(nSignal) + ").";
    }
    if (nSignal != 0) {
        return "The encoder was ended by signal " + std::to_string(nSignal) + ".";
    }
    return {};
}

std::string ProbeReportCause(const std::string& strEncoderReason, const std::string& strReport) {
    if (!strEncoderReason.empty()) {
        return strEncoderReason;
    }
    if (strReport.find("Duration: N/A") != std::string::npos) {
        return "the file does not tell how long it lasts";
    }
    if (strReport.find("Duration: ") != std::string::npos) {
        return "the file lasts no time at all";
    }
    return "the encoder gave no report on the file";
}

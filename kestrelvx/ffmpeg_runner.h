#pragma once
// Running the ffmpeg program as a child that cannot outlive Kestrelvx.
#include <cstdint>
#include <string>
#include <vector>

namespace kestrelvx {

struct FfmpegRun {
    std::string failure; // why ffmpeg could not be started; empty when it was
    int exitCode = -1;   // ffmpeg's exit status when it exited by itself
    int endSignal = 0;   // the signal that ended ffmpeg, 0 if none
    int stopSignal = 0;  // SIGTERM, SIGINT or SIGHUP that asked Kestrelvx to stop, or SIGPIPE
                         // when the reader of its output went away
    int64_t frames = 0;  // from ffmpeg's last progress block
    int64_t outTimeUs = 0;
    int64_t totalBytes = 0;
    std::string lastMessage; // ffmpeg's last message line (one line, made safe)
};

// Starts program with args (args[0] is the name it sees) and waits for its end. Its messages
// are relayed line by line to standard error, and a status line ending in a carriage return
// goes out every 250 ms from the start to the end. SIGTERM, SIGINT and SIGHUP are passed on to
// ffmpeg (SIGKILL if it has not ended 3 s later); ffmpeg is also killed when Kestrelvx dies.
// share: the run is one share of a longer conversion; its status lines count from offsetUs at
// scale times the position ffmpeg reached (CProgressState::SetShare).
struct ProgressShare {
    int64_t offsetUs = 0;
    double scale = 1.0;
};
FfmpegRun RunFfmpeg(const std::string& program, const std::vector<std::string>& args,
                    const ProgressShare& share = {});

} // namespace kestrelvx

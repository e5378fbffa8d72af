#pragma once
// The files of a conversion in two passes before its output is finished: a private folder for
// ffmpeg's pass log and the sound, and the output under a hidden name beside the finished one.
// Several encoders may run at once: each has its own folder and name. Everything is removed when
// the object goes, and also when Kestrelvx is killed outright: a sweeper process of its own
// session (so that killing Kestrelvx's process group leaves it running) waits for Kestrelvx to end
// and removes what is left.
#include <string>
#include <sys/types.h>

namespace kestrelvx {

class CScratchSpace {
public:
    CScratchSpace() = default;
    ~CScratchSpace();
    CScratchSpace(const CScratchSpace&) = delete;
    CScratchSpace& operator=(const CScratchSpace&) = delete;

    // Makes the folder (under $TMPDIR, else /tmp) and reserves the hidden name in the folder of
    // output, with the permissions a new file gets; then starts the sweeper. False with a one-line
    // reason when either cannot be made.
    bool Create(const std::string& output, std::string& reason);

    // ffmpeg's "-passlogfile" in the folder.
    std::string LogPrefix() const { return m_strFolder + "/pass"; }
    // The file the analysis pass writes the sound to.
    std::string SoundFile() const { return m_strFolder + "/sound.m4a"; }
    // The output while it is written and checked.
    const std::string& PartFile() const { return m_strPart; }

    // Moves the part file to output: replacing a file there when replace is true, else failing
    // when one has appeared. False with a reason.
    bool Finish(const std::string& output, bool replace, std::string& reason);

private:
    void StartSweeper();

    std::string m_strFolder;
    std::string m_strPart;
    int m_nSweeperFd = -1; // the write end of the pipe whose end the sweeper waits for
    pid_t m_nSweeper = -1;
};

} // namespace kestrelvx

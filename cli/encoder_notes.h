#pragma once
// The encoder's own lines for each file (why it failed, what it changed, an early end), which it
// appends to a file named in its environment (kestrelvx/batch_channel.h). One object per run of
// lumicast-batch; the file is removed when it ends.
#include <string>
#include <vector>

namespace cli {

class CEncoderNotes {
public:
    // Creates the file and names it in this process's environment, so every encoder started
    // from now on writes there. Without a usable temporary folder nothing is collected.
    CEncoderNotes();
    ~CEncoderNotes();
    CEncoderNotes(const CEncoderNotes&) = delete;
    CEncoderNotes& operator=(const CEncoderNotes&) = delete;

    // The lines written since the last call ("error: ...", "note: ..."), and the file emptied.
    std::vector<std::string> Take();

private:
    std::string m_strPath;
    int m_nFd = -1;
};

} // namespace cli

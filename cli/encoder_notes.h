#pragma once
// The encoder's own lines for each file (why it failed, what it changed, an early end), which it
// appends to a file named in its environment (engine/encoder_channel.h). One object for each
// encoder that runs at a time; the file is removed when the object goes.
#include <string>
#include <vector>

namespace cli {

class CEncoderNotes {
public:
    // Creates the file. Without a usable temporary folder nothing is collected.
    CEncoderNotes();
    ~CEncoderNotes();
    CEncoderNotes(const CEncoderNotes&) = delete;
    CEncoderNotes& operator=(const CEncoderNotes&) = delete;

    // The "NAME=value" entry that names the file for an encoder ("" when there is no file).
    std::string EnvironmentEntry() const;

    // The lines written since the last call ("error: ...", "note: ..."), and the file emptied.
    std::vector<std::string> Take();

private:
    std::string m_strPath;
    int m_nFd = -1;
};

} // namespace cli

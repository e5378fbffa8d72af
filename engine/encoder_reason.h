#pragma once
// The encoder's own reason for a failure: the last line of its output that begins with
// "Kestrelvx: error: ". Fed with the output as it comes, in chunks cut anywhere; allocates
// nothing. A line longer than the buffer keeps its beginning.
#include <cstddef>

class CEncoderReason {
public:
    static constexpr std::size_t kMaxLine = 511;

    void Feed(const char* pBytes, std::size_t nBytes);
    // The output has ended: an unfinished last line counts as a whole one.
    void EndOfOutput();
    // The last reason line seen (without its line end), or "" when there was none.
    const char* Text() const;
    // The last reason line's text after "Kestrelvx: error: ", or "".
    const char* Cause() const;

private:
    void EndLine();

    char m_szLine[kMaxLine + 1] = {};   // the line being read
    std::size_t m_nLine = 0;            // its bytes kept
    char m_szReason[kMaxLine + 1] = {}; // the last complete reason line
};

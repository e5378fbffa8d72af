#pragma once
// Turning ffmpeg's progress blocks and messages into the console lines the application reads.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrelvx {

// Reads the "key=value" lines ffmpeg writes with -progress. A block ends with a "progress="
// line; only whole blocks change the figures, so a status line never mixes two blocks.
class CProgressState {
public:
    void Feed(std::string_view bytes);

    // The status line, ending with a carriage return and never a line feed, in the old
    // console form the application parses for "time=":
    // "frame=  123 fps= 25 q=3.0 size=     512kB time=12.34 bitrate= 340.2kbits/s\r"
    std::string StatusLine() const;
    // For a run that is one share of a longer conversion (a pass of two): the status line shows
    // offsetUs plus scale times the position reached, so the whole conversion counts up once.
    void SetShare(int64_t offsetUs, double scale) {
        m_nShareOffsetUs = offsetUs;
        m_dShareScale = scale;
    }

    int64_t Frames() const { return m_nFrames; }
    int64_t OutTimeUs() const { return m_nOutTimeUs; }
    int64_t TotalBytes() const { return m_nTotalBytes; }
    bool Ended() const { return m_bEnded; }

private:
    void TakeLine(std::string_view line);

    std::string m_strPartial;
    int64_t m_nPendingFrames = 0;
    double m_dPendingFps = 0.0;
    double m_dPendingQ = 0.0;
    int64_t m_nPendingBytes = 0;
    int64_t m_nPendingTimeUs = 0;

    int64_t m_nFrames = 0;
    double m_dFps = 0.0;
    double m_dQ = 0.0;
    int64_t m_nTotalBytes = 0;
    int64_t m_nOutTimeUs = 0;
    bool m_bEnded = false;
    int64_t m_nShareOffsetUs = 0;
    double m_dShareScale = 1.0;
};

// Cuts ffmpeg's message output into lines (line feed or carriage return ends one); empty lines
// are skipped.
class CLineSplitter {
public:
    void Feed(std::string_view bytes, std::vector<std::string>& lines);
    // The rest after the output has ended.
    void Flush(std::vector<std::string>& lines);

private:
    std::string m_strPartial;
};

} // namespace kestrelvx

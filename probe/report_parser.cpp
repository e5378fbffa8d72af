#include "probe/report_parser.h"

#include "engine/progress_parser.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr char kDurationField[] = "Duration: ";
constexpr std::size_t kDurationFieldLength = sizeof kDurationField - 1;
constexpr char kStreamField[] = "Stream #";
constexpr std::size_t kStreamFieldLength = sizeof kStreamField - 1;
constexpr std::size_t kLineMax = 199;
constexpr std::size_t kDurationTextMax = 99;

// Cuts a text into tokens the way a C tokenizer does: leading delimiters are skipped, an empty
// token is never returned, and the search goes on after the delimiter that ended a token.
class Tokenizer {
public:
    explicit Tokenizer(const std::string& text) : m_text(text) {}

    bool Next(char delimiter, std::string& token) {
        while (m_pos < m_text.size() && m_text[m_pos] == delimiter) {
            ++m_pos;
        }
        if (m_pos >= m_text.size()) {
            return false;
        }
        const auto end = std::min(m_text.find(delimiter, m_pos), m_text.size());
        token = m_text.substr(m_pos, end - m_pos);
        m_pos = end < m_text.size() ? end + 1 : end;
        return true;
    }

private:
    const std::string& m_text;
    std::size_t m_pos = 0;
};

std::int64_t Number(const std::string& token) {
    return LeadingInteger(token.data(), token.size());
}

std::int32_t ClampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Whether a seconds field such as "00.40" has a fraction that is not zero.
bool StartedSecond(const std::string& seconds) {
    const auto point = seconds.find('.');
    if (point == std::string::npos) {
        return false;
    }
    for (std::size_t i = point + 1; i < seconds.size() && seconds[i] >= '0' && seconds[i] <= '9';
         ++i) {
        if (seconds[i] != '0') {
            return true;
        }
    }
    return false;
}

// The text of `report` from `begin` up to `end`, cut to kLineMax characters.
std::string Line(const std::string& report, std::size_t begin, std::size_t end) {
    return report.substr(begin, std::min(end - begin, kLineMax));
}

// Parses the duration line; returns false when it cannot be parsed.
bool ParseDurationLine(const std::string& line, FileMediaFormat& record) {
    const auto comma = line.find(',');
    if (comma == std::string::npos) {
        return false;
    }
    Tokenizer tokens(line);
    std::string hours;
    std::string minutes;
    std::string seconds;
    if (!tokens.Next(':', hours) || !tokens.Next(':', minutes) || !tokens.Next(',', seconds)) {
        return false;
    }
    std::int64_t total = (Number(hours) * 60 + Number(minutes)) * 60 + Number(seconds);
    if (total == 0 && StartedSecond(seconds)) {
        // A clip shorter than a second still holds something: its started second counts, so it
        // can join the list (the encoder converts an end at or past its last whole second to the
        // end of the file).
        total = 1;
    }
    record.m_nDuration = ClampToInt32(total);
    const std::string text = line.substr(0, std::min(comma, kDurationTextMax));
    record.m_strDuration = text + " (" + std::to_string(record.m_nDuration) + " s)";

    std::string field;
    std::string value;
    std::string bitrate;
    if (tokens.Next(':', field) && tokens.Next(':', value) && tokens.Next(' ', bitrate)) {
        record.m_strBitrate = bitrate + " kb/s";
    } else {
        record.m_strBitrate.clear();
    }
    return true;
}

// The description after a stream line's second colon, or "" when there is none.
std::string StreamDescription(const std::string& line) {
    Tokenizer tokens(line);
    std::string index;
    std::string kind;
    std::string description;
    if (tokens.Next(':', index) && tokens.Next(':', kind) && tokens.Next('\n', description)) {
        return description;
    }
    return {};
}

} // namespace

void ParseEncoderReport(const std::string& reportText, FileMediaFormat& record) {
    const std::string report = reportText.substr(0, reportText.find('\0'));

    record.m_nDuration = 0;
    std::size_t scan = 0;
    const auto duration = report.find(kDurationField);
    if (duration != std::string::npos) {
        scan = duration;
        const auto lineFeed = report.find('\n', duration);
        if (lineFeed != std::string::npos) {
            const std::string line = Line(report, duration + kDurationFieldLength, lineFeed);
            if (ParseDurationLine(line, record)) {
                scan = lineFeed;
            } else {
                record.m_nDuration = 0;
                record.m_strDuration = "0 (0 s)";
            }
        }
    }

    for (;;) {
        const auto stream = report.find(kStreamField, scan);
        if (stream == std::string::npos) {
            break;
        }
        const auto lineFeed = report.find('\n', stream);
        if (lineFeed == std::string::npos) {
            break;
        }
        const std::string line = Line(report, stream + kStreamFieldLength, lineFeed);
        if (line.find("Video:") != std::string::npos) {
            record.m_strVideo = StreamDescription(line);
        } else if (line.find("Audio:") != std::string::npos) {
            record.m_strAudio = StreamDescription(line);
        }
        scan = lineFeed + 1;
    }
}

void FillRecordFromPath(const std::string& path, FileMediaFormat& record) {
    record.m_nStart = 0;
    record.m_nEnd = record.m_nDuration;
    record.m_strPath = path;
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    std::string work = path;
    if (dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash)) {
        record.m_strExt = path.substr(dot + 1);
        work = path.substr(0, dot);
    }
    record.m_strTitle = slash == std::string::npos ? work : work.substr(slash + 1);
}

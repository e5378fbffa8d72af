#include "kestrelvx/progress_relay.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

namespace kestrelvx {
namespace {

// A number at the start of text, or 0 ("N/A", empty).
int64_t LeadingInteger(std::string_view text) {
    const std::string copy(text);
    return std::strtoll(copy.c_str(), nullptr, 10);
}

double LeadingDouble(std::string_view text) {
    const std::string copy(text);
    return std::strtod(copy.c_str(), nullptr);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

} // namespace

void CProgressState::Feed(std::string_view bytes) {
    for (char c : bytes) {
        if (c == '\n') {
            TakeLine(m_strPartial);
            m_strPartial.clear();
        } else if (c != '\r' && m_strPartial.size() < 256) {
            m_strPartial += c;
        }
    }
}

void CProgressState::TakeLine(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return;
    }
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    if (key == "frame") {
        m_nPendingFrames = LeadingInteger(value);
    } else if (key == "fps") {
        m_dPendingFps = LeadingDouble(value);
    } else if (StartsWith(key, "stream_") && EndsWith(key, "_q")) {
        m_dPendingQ = LeadingDouble(value);
    } else if (key == "total_size") {
        m_nPendingBytes = LeadingInteger(value);
    } else if (key == "out_time_us") {
        m_nPendingTimeUs = LeadingInteger(value);
    } else if (key == "progress") {
        m_nFrames = m_nPendingFrames;
        m_dFps = m_dPendingFps;
        m_dQ = m_dPendingQ;
        m_nTotalBytes = m_nPendingBytes > 0 ? m_nPendingBytes : 0;
        // The first block may report a small negative time while streams are aligned.
        m_nOutTimeUs = m_nPendingTimeUs > 0 ? m_nPendingTimeUs : 0;
        m_bEnded = value == "end";
    }
}

std::string CProgressState::StatusLine() const {
    const double seconds = static_cast<double>(m_nOutTimeUs) / 1e6;
    char bitrate[32];
    if (seconds > 0.0) {
        std::snprintf(bitrate, sizeof bitrate, "%6.1fkbits/s",
                      static_cast<double>(m_nTotalBytes) * 8.0 / seconds / 1000.0);
    } else {
        std::snprintf(bitrate, sizeof bitrate, "N/A");
    }
    const double shown = (static_cast<double>(m_nShareOffsetUs) +
                          m_dShareScale * static_cast<double>(m_nOutTimeUs)) /
                         1e6;
    char line[192];
    std::snprintf(line, sizeof line,
                  "frame=%5" PRId64 " fps=%3.0f q=%.1f size=%8" PRId64 "kB time=%.2f bitrate=%s\r",
                  m_nFrames, m_dFps, m_dQ, m_nTotalBytes / 1024, shown, bitrate);
    return line;
}

void CLineSplitter::Feed(std::string_view bytes, std::vector<std::string>& lines) {
    for (char c : bytes) {
        if (c == '\n' || c == '\r') {
            Flush(lines);
        } else if (m_strPartial.size() < 4096) {
            m_strPartial += c;
        }
    }
}

void CLineSplitter::Flush(std::vector<std::string>& lines) {
    if (!m_strPartial.empty()) {
        lines.push_back(m_strPartial);
        m_strPartial.clear();
    }
}

} // namespace kestrelvx

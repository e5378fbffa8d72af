#include "engine/encoder_reason.h"

#include <cstring>

namespace {

constexpr char kReasonPrefix[] = "Kestrelvx: error: ";
constexpr std::size_t kPrefixLength = sizeof(kReasonPrefix) - 1;

bool IsReason(const char* pLine, std::size_t nLine) {
    return nLine > kPrefixLength && std::memcmp(pLine, kReasonPrefix, kPrefixLength) == 0;
}

} // namespace

void CEncoderReason::Feed(const char* pBytes, std::size_t nBytes) {
    for (std::size_t i = 0; i < nBytes; ++i) {
        const char c = pBytes[i];
        if (c == '\n' || c == '\r') {
            EndLine();
        } else if (m_nLine < kMaxLine) {
            // Control bytes inside a line would garble the log line: they read as blanks.
            m_szLine[m_nLine++] = (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? ' ' : c;
        }
    }
}

void CEncoderReason::EndLine() {
    if (IsReason(m_szLine, m_nLine)) {
        std::memcpy(m_szReason, m_szLine, m_nLine);
        m_szReason[m_nLine] = '\0';
    }
    m_nLine = 0;
}

void CEncoderReason::EndOfOutput() {
    // The encoder may end its last line without a line feed.
    EndLine();
}

const char* CEncoderReason::Text() const {
    return m_szReason;
}

const char* CEncoderReason::Cause() const {
    return m_szReason[0] != '\0' ? m_szReason + kPrefixLength : m_szReason;
}

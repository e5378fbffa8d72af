#include "cli/encoder_notes.h"

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "engine/encoder_channel.h"

namespace cli {

namespace {

// Lines beyond these limits are dropped: the encoder writes a few short ones per file.
constexpr std::size_t kMaxBytes = 64 * 1024;
constexpr std::size_t kMaxLines = 20;

} // namespace

CEncoderNotes::CEncoderNotes() {
    const char* tmp = std::getenv("TMPDIR");
    std::string strTemplate = (tmp != nullptr && tmp[0] == '/') ? tmp : "/tmp";
    strTemplate += "/lumicast-batch-XXXXXX";
    m_nFd = mkstemp(strTemplate.data());
    if (m_nFd < 0) {
        return;
    }
    fcntl(m_nFd, F_SETFD, FD_CLOEXEC);
    m_strPath = strTemplate;
}

CEncoderNotes::~CEncoderNotes() {
    if (m_nFd >= 0) {
        close(m_nFd);
        unlink(m_strPath.c_str());
    }
}

std::string CEncoderNotes::EnvironmentEntry() const {
    return m_strPath.empty() ? std::string()
                             : std::string(kestrelvx::kNotesVariable) + "=" + m_strPath;
}

std::vector<std::string> CEncoderNotes::Take() {
    std::vector<std::string> lines;
    if (m_nFd < 0) {
        return lines;
    }
    std::string text;
    char buffer[4096];
    lseek(m_nFd, 0, SEEK_SET);
    for (;;) {
        const ssize_t n = read(m_nFd, buffer, sizeof buffer);
        if (n <= 0 || text.size() >= kMaxBytes) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    if (ftruncate(m_nFd, 0) != 0) {
        return lines;
    }
    std::size_t start = 0;
    while (start < text.size() && lines.size() < kMaxLines) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            break; // an unfinished line is not a note
        }
        if (end > start) {
            lines.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return lines;
}

} // namespace cli

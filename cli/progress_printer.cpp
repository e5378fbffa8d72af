#include "cli/progress_printer.h"

#include <algorithm>

#include "cli/encoder_notes.h"
#include "engine/batch_rules.h"
#include "sources/source_record.h"
#include "support/utf8_cut.h"

namespace cli {

namespace {

// Width the redrawn line is kept within, so that it never wraps on a standard terminal.
constexpr std::size_t kLineWidth = 79;

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string PrintableText(const std::string& text, bool bKeepLineFeeds) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n' && bKeepLineFeeds) {
            out += '\n';
        } else if (byte == '\t' || byte == '\n' || byte == '\r') {
            out += ' ';
        } else if (byte < 0x20 || byte == 0x7F) {
            out += '?';
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            out += '?';
            ++i;
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    const auto byteAt = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char byte = byteAt(i);
        // The length of a well-formed UTF-8 sequence starting here, 0 when there is none.
        std::size_t length = 0;
        if (byte < 0x80) {
            length = 1;
        } else if (byte >= 0xC2 && byte <= 0xF4) {
            length = byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
            if (i + length > text.size()) {
                length = 0;
            }
            for (std::size_t k = 1; k < length; ++k) {
                if ((byteAt(i + k) & 0xC0) != 0x80) {
                    length = 0;
                }
            }
            // Overlong forms, surrogates and code points past U+10FFFF are no UTF-8.
            if (length >= 3) {
                const unsigned char second = byteAt(i + 1);
                if ((byte == 0xE0 && second < 0xA0) || (byte == 0xED && second >= 0xA0) ||
                    (byte == 0xF0 && second < 0x90) || (byte == 0xF4 && second >= 0x90)) {
                    length = 0;
                }
            }
        }
        char escape[16];
        if (length == 0) {
            std::snprintf(escape, sizeof(escape), "\\udc%02x", byte);
            out += escape;
            ++i;
        } else if (length > 1) {
            out.append(text, i, length);
            i += length;
        } else {
            if (byte == '"' || byte == '\\') {
                out += '\\';
                out += static_cast<char>(byte);
            } else if (byte < 0x20 || byte == 0x7F) {
                std::snprintf(escape, sizeof(escape), "\\u%04x", byte);
                out += escape;
            } else {
                out += static_cast<char>(byte);
            }
            ++i;
        }
    }
    return out + "\"";
}

std::string SizeText(std::int64_t nBytes) {
    char text[32];
    if (nBytes < 1024) {
        std::snprintf(text, sizeof(text), "%lld B",
                      static_cast<long long>(std::max<std::int64_t>(nBytes, 0)));
    } else if (nBytes < 1024 * 1024) {
        std::snprintf(text, sizeof(text), "%lld KB", static_cast<long long>(nBytes / 1024));
    } else {
        std::snprintf(text, sizeof(text), "%.1f MB",
                      static_cast<double>(nBytes) / (1024.0 * 1024.0));
    }
    return text;
}

int CProgressPrinter::Overall(int nPercent) const {
    return OverallPercent(m_nNumber - 1, m_nCount, nPercent);
}

void CProgressPrinter::Clear() {
    if (m_bLineShown) {
        std::fputs("\r\033[K", m_out);
        m_bLineShown = false;
    }
}

void CProgressPrinter::Redraw(const std::string& strLine) {
    std::string strCut = CutUtf8(strLine, kLineWidth);
    if (m_bLineShown && strCut == m_strShown) {
        return; // nothing changed since the last poll
    }
    m_strShown = std::move(strCut);
    std::fprintf(m_out, "\r%s\033[K", m_strShown.c_str());
    m_bLineShown = true;
    std::fflush(m_out);
}

void CProgressPrinter::BeginSource(int nNumber, int nCount, const std::string& strSource,
                                   const std::string& strTarget) {
    m_nNumber = nNumber;
    m_nCount = nCount;
    m_nLastDecade = 0;
    m_bRunning = true;
    m_strSource = strSource;
    m_strTarget = strTarget;
    if (m_pNotes != nullptr) {
        m_pNotes->Take(); // lines of an earlier run that was stopped belong to no file
    }
    if (m_bJson) {
        return;
    }
    m_strName = PrintableText(FileNameOf(strTarget), false);
    if (m_bTerminal) {
        Update(0, 0);
        return;
    }
    std::fprintf(m_out, "File %d of %d: %s -> %s\n", nNumber, nCount,
                 PrintableText(strSource, false).c_str(), PrintableText(strTarget, false).c_str());
    std::fflush(m_out);
}

void CProgressPrinter::Update(int nPercent, std::int64_t nOutputBytes) {
    if (!m_bRunning || m_bJson) {
        return;
    }
    const int nPercentShown = std::clamp(nPercent, 0, 100);
    char head[96];
    std::snprintf(head, sizeof(head), "File %d of %d: %3d%%, overall %3d%%, %s", m_nNumber,
                  m_nCount, nPercentShown, Overall(nPercentShown), SizeText(nOutputBytes).c_str());
    if (m_bTerminal) {
        std::string line = head;
        if (line.size() + 3 < kLineWidth) {
            line += " - " + CutUtf8(m_strName, kLineWidth - line.size() - 3);
        }
        Redraw(line);
        return;
    }
    // The end of a file shows in its status line, so the lines stop at 90 per cent.
    const int nDecade = std::min(nPercentShown / 10, 9);
    if (nDecade > m_nLastDecade) {
        m_nLastDecade = nDecade;
        std::snprintf(head, sizeof(head), "File %d of %d: %d%%, overall %d%%, %s", m_nNumber,
                      m_nCount, nDecade * 10, Overall(nDecade * 10),
                      SizeText(nOutputBytes).c_str());
        std::fprintf(m_out, "%s\n", head);
        std::fflush(m_out);
    }
}

void CProgressPrinter::EndSource(const std::string& strStatus, const std::string& strTarget,
                                 const std::string& strCause) {
    Clear();
    const bool bBegun = m_bRunning && strTarget == m_strTarget;
    m_bRunning = false;
    // The encoder's lines belong to the file that ran; one that never began has none.
    const std::vector<std::string> notes =
        bBegun && m_pNotes != nullptr ? m_pNotes->Take() : std::vector<std::string>{};
    if (m_bJson) {
        std::string line = "{\"status\": " + JsonString(strStatus);
        if (bBegun) {
            line += ", \"source\": " + JsonString(m_strSource);
        }
        line += ", \"output\": " + JsonString(strTarget);
        if (!strCause.empty()) {
            line += ", \"cause\": " + JsonString(strCause);
        }
        line += ", \"encoder\": [";
        for (std::size_t i = 0; i < notes.size(); ++i) {
            line += (i > 0 ? ", " : "") + JsonString(notes[i]);
        }
        std::fprintf(m_out, "%s]}\n", line.c_str());
        std::fflush(m_out);
        return;
    }
    std::fprintf(m_out, "%s %s\n", PrintableText(strStatus, false).c_str(),
                 PrintableText(strTarget, false).c_str());
    if (!strCause.empty()) {
        std::fprintf(m_out, "  %s\n", PrintableText(strCause, false).c_str());
    }
    for (const std::string& note : notes) {
        std::fprintf(m_out, "  Kestrelvx: %s\n", PrintableText(note, false).c_str());
    }
    std::fflush(m_out);
}

void CProgressPrinter::SourceUnreadable(const std::string& strSource, const std::string& strCause) {
    Clear();
    const std::string strStatus = StatusText(kStatusError);
    if (m_bJson) {
        std::fprintf(m_out,
                     "{\"status\": %s, \"source\": %s, \"output\": null, \"cause\": %s, "
                     "\"encoder\": []}\n",
                     JsonString(strStatus).c_str(), JsonString(strSource).c_str(),
                     JsonString(strCause).c_str());
    } else {
        std::fprintf(m_out, "%s %s\n  %s\n", strStatus.c_str(),
                     PrintableText(strSource, false).c_str(),
                     PrintableText(strCause, false).c_str());
    }
    std::fflush(m_out);
}

void CProgressPrinter::Note(const std::string& strText, std::FILE* stream) {
    Clear();
    std::fflush(m_out);
    // In the JSON form standard output holds the objects alone.
    std::FILE* target = stream != nullptr ? stream : m_bJson ? stderr : m_out;
    std::fprintf(target, "%s\n", PrintableText(strText, true).c_str());
    std::fflush(target);
}

void CProgressPrinter::Status(const std::string& strText) {
    if (!m_bTerminal || m_bJson) {
        return;
    }
    if (strText.empty()) {
        Clear();
        std::fflush(m_out);
        return;
    }
    Redraw(PrintableText(strText, false));
}

} // namespace cli

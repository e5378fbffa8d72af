#include "cli/progress_printer.h"

#include <algorithm>
#include <filesystem>

#include "cli/target_size.h"
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

// "File 3 of 20: 45%, overall 43%" with the percents padded to three places or not.
std::string FileHead(int nNumber, int nCount, int nPercent, int nOverall, bool bPadded) {
    char text[96];
    if (bPadded) {
        std::snprintf(text, sizeof(text), "File %d of %d: %3d%%, overall %3d%%", nNumber, nCount,
                      nPercent, nOverall);
    } else {
        std::snprintf(text, sizeof(text), "File %d of %d: %d%%, overall %d%%", nNumber, nCount,
                      nPercent, nOverall);
    }
    return text;
}

// " 45%": a percent padded to three places.
std::string PaddedPercent(int nPercent) {
    char text[16];
    std::snprintf(text, sizeof(text), "%3d%%", nPercent);
    return text;
}

} // namespace

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
    Running& running = m_running[nNumber];
    running.nCount = nCount;
    running.nLastDecade = 0;
    running.strName = PrintableText(FileNameOf(strTarget), false);
    if (m_bJson || m_bTerminal) {
        return; // the terminal shows it with the next progress
    }
    std::fprintf(m_out, "File %d of %d: %s -> %s\n", nNumber, nCount,
                 PrintableText(strSource, false).c_str(), PrintableText(strTarget, false).c_str());
    std::fflush(m_out);
}

std::string CProgressPrinter::TerminalLine(const std::vector<FileProgress>& running, int nOverall,
                                           const std::string& strTimeLeft) const {
    const std::string strLeft = strTimeLeft.empty() ? "" : ", " + strTimeLeft;
    std::vector<std::string> names;
    std::string head;
    if (running.size() == 1) {
        const FileProgress& file = running.front();
        const Running& state = m_running.at(file.nNumber);
        head = FileHead(file.nNumber, state.nCount, std::clamp(file.nPercent, 0, 100), nOverall,
                        true) +
               ", " + SizeText(file.nBytes) + strLeft;
        names.push_back(state.strName);
    } else {
        std::string numbers;
        std::string percents;
        int nCount = 0;
        for (const FileProgress& file : running) {
            const Running& state = m_running.at(file.nNumber);
            nCount = state.nCount;
            numbers += (numbers.empty() ? "" : ", ") + std::to_string(file.nNumber);
            percents += " " + PaddedPercent(std::clamp(file.nPercent, 0, 100));
            names.push_back(state.strName);
        }
        head = "Files " + numbers + " of " + std::to_string(nCount) + ":" + percents +
               ", overall " + PaddedPercent(nOverall) + strLeft;
    }
    // The names share what is left of the width; a short name leaves its share to the others.
    std::string line = head;
    const std::size_t nUsed = line.size() + 3 + 2 * (names.size() - 1);
    if (nUsed < kLineWidth) {
        std::vector<std::size_t> order(names.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
        std::sort(order.begin(), order.end(), [&names](std::size_t a, std::size_t b) {
            return names[a].size() < names[b].size();
        });
        std::size_t nRoom = kLineWidth - nUsed;
        std::vector<std::string> cut(names.size());
        for (std::size_t k = 0; k < order.size(); ++k) {
            const std::size_t i = order[k];
            cut[i] = CutUtf8(names[i], nRoom / (order.size() - k));
            nRoom -= cut[i].size();
        }
        line += " - ";
        for (std::size_t i = 0; i < cut.size(); ++i) {
            line += (i > 0 ? ", " : "") + cut[i];
        }
    }
    return line;
}

void CProgressPrinter::Progress(const std::vector<FileProgress>& running, int nOverall,
                                const std::string& strTimeLeft) {
    std::vector<FileProgress> shown;
    for (const FileProgress& file : running) {
        if (m_running.count(file.nNumber) != 0) {
            shown.push_back(file);
        }
    }
    if (m_bJson || shown.empty()) {
        return;
    }
    if (m_bTerminal) {
        Redraw(TerminalLine(shown, nOverall, strTimeLeft));
        return;
    }
    // The end of a file shows in its status line, so the lines stop at 90 per cent.
    for (const FileProgress& file : shown) {
        Running& state = m_running[file.nNumber];
        const int nDecade = std::min(std::clamp(file.nPercent, 0, 100) / 10, 9);
        if (nDecade > state.nLastDecade) {
            state.nLastDecade = nDecade;
            const std::string strLine =
                FileHead(file.nNumber, state.nCount, nDecade * 10, nOverall, false) + ", " +
                SizeText(file.nBytes) + (strTimeLeft.empty() ? "" : ", " + strTimeLeft);
            std::fprintf(m_out, "%s\n", strLine.c_str());
        }
    }
    std::fflush(m_out);
}

void CProgressPrinter::EndSource(int nNumber, const FileOutcome& outcome) {
    Clear();
    m_running.erase(nNumber);
    // The size a finished output reached under --target-size, -1 when there is none to tell.
    std::int64_t nReached = -1;
    if (m_nTargetBytes > 0 && outcome.strStatus == StatusText(kStatusDone)) {
        std::error_code error;
        const auto nSize = std::filesystem::file_size(outcome.strTarget, error);
        nReached = error ? -1 : static_cast<std::int64_t>(nSize);
    }
    if (m_bJson) {
        std::string line = "{\"status\": " + JsonString(outcome.strStatus) +
                           ", \"source\": " + JsonString(outcome.strSource) +
                           ", \"output\": " + JsonString(outcome.strTarget);
        line += TargetSizeFields(nReached);
        if (!outcome.strCause.empty()) {
            line += ", \"cause\": " + JsonString(outcome.strCause);
        }
        if (outcome.bEarlier) {
            line += ", \"resumed\": true";
        }
        if (outcome.nTimeLeftSeconds >= 0) {
            line += ", \"time_left_seconds\": " + std::to_string(outcome.nTimeLeftSeconds);
        }
        line += ", \"encoder\": [";
        for (std::size_t i = 0; i < outcome.notes.size(); ++i) {
            line += (i > 0 ? ", " : "") + JsonString(outcome.notes[i]);
        }
        std::fprintf(m_out, "%s]}\n", line.c_str());
        std::fflush(m_out);
        return;
    }
    const std::string strReached =
        nReached >= 0 ? " (" + TargetSizeReport(nReached, m_nTargetBytes) + ")" : std::string();
    std::fprintf(m_out, "%s %s%s\n", PrintableText(outcome.strStatus, false).c_str(),
                 PrintableText(outcome.strTarget, false).c_str(), strReached.c_str());
    if (!outcome.strCause.empty()) {
        std::fprintf(m_out, "  %s\n", PrintableText(outcome.strCause, false).c_str());
    }
    if (outcome.bEarlier) {
        std::fputs("  converted by an earlier run of this batch\n", m_out);
    }
    for (const std::string& note : outcome.notes) {
        std::fprintf(m_out, "  Kestrelvx: %s\n", PrintableText(note, false).c_str());
    }
    std::fflush(m_out);
}

std::string CProgressPrinter::TargetSizeFields(std::int64_t nReached) const {
    if (m_nTargetBytes <= 0) {
        return {};
    }
    std::string fields;
    if (nReached >= 0) {
        fields += ", \"size\": " + std::to_string(nReached);
    }
    return fields + ", \"target_size\": " + std::to_string(m_nTargetBytes);
}

void CProgressPrinter::SourceUnreadable(const std::string& strSource, const std::string& strCause) {
    Clear();
    const std::string strStatus = StatusText(kStatusError);
    if (m_bJson) {
        std::fprintf(m_out,
                     "{\"status\": %s, \"source\": %s, \"output\": null%s, \"cause\": %s, "
                     "\"encoder\": []}\n",
                     JsonString(strStatus).c_str(), JsonString(strSource).c_str(),
                     TargetSizeFields(-1).c_str(), JsonString(strCause).c_str());
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

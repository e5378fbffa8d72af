#include "cli/console_sources.h"

#include <cstdio>

#include "cli/progress_printer.h"
#include "sources/source_record.h"

namespace cli {

FileMediaFormat* ConsoleSourceList::RecordAtRow(int nRow) {
    if (nRow < 0 || nRow >= RowCount()) {
        return nullptr;
    }
    return records.At(rows[static_cast<std::size_t>(nRow)]);
}

std::string ConsoleText(const std::string& strMessage) {
    std::string out;
    out.reserve(strMessage.size());
    for (std::size_t i = 0; i < strMessage.size(); ++i) {
        if (strMessage[i] != '\r') {
            out += strMessage[i];
        } else if (i + 1 >= strMessage.size() || strMessage[i + 1] != '\n') {
            out += '\n';
        }
    }
    return out;
}

void CConsoleLoadHost::SetProgressText(const std::string& strText) {
    m_printer.Status(ConsoleText(strText));
}

int CConsoleLoadHost::AddSource(std::unique_ptr<FileMediaFormat> pRecord, int nRow) {
    if (pRecord == nullptr || nRow < 0 || nRow > m_list.RowCount()) {
        return -1;
    }
    const int nIndex = m_list.records.Add(std::move(pRecord));
    if (nIndex >= 0) {
        m_list.rows.insert(m_list.rows.begin() + nRow, nIndex);
    }
    return nIndex;
}

void CConsoleLoadHost::ShowFailures(const std::string& /*strMessage*/) {
    // Each file that failed has had its own line with its cause: the window's advice is not for
    // the console.
}

void CConsoleLoadHost::SourceFailed(const std::string& strPath, const std::string& strCause) {
    m_printer.SourceUnreadable(strPath, strCause.empty() ? "the file cannot be read" : strCause);
}

void CConsoleLoadHost::Close() {
    m_printer.Status("");
}

} // namespace cli

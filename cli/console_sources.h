#pragma once
// The source list of lumicast-batch: the record array and the rows that show it, in the order the
// files were given, filled by the loading pass through the console's load host.
#include <memory>
#include <string>
#include <vector>

#include "engine/batch_host.h"
#include "probe/load_host.h"
#include "sources/record_array.h"

namespace cli {

class CProgressPrinter;

// Rows in list order, each holding the array index of its record. A row has no text of its own
// to refresh: its outcome is printed by the batch host.
struct ConsoleSourceList final : IBatchList {
    CRecordArray records;
    std::vector<int> rows;

    int RowCount() override { return static_cast<int>(rows.size()); }
    FileMediaFormat* RecordAtRow(int nRow) override;
    void FillRow(int /*nRow*/) override {}
};

// The loading pass's host on the console: the progress line goes to the printer (on a terminal),
// and each file that cannot be read ends at once with its status line and cause.
class CConsoleLoadHost : public ILoadHost {
public:
    CConsoleLoadHost(ConsoleSourceList& list, CProgressPrinter& printer, LoadTarget target)
        : m_list(list), m_printer(printer), m_target(std::move(target)) {}

    int RowCount() override { return m_list.RowCount(); }
    void SetProgressText(const std::string& strText) override;
    void SetProgress(int /*nPercent*/) override {}
    LoadTarget OutputTarget() override { return m_target; }
    int AddSource(std::unique_ptr<FileMediaFormat> pRecord, int nRow) override;
    void ShowFailures(const std::string& strMessage) override;
    // "Error <path>" and the cause (or its JSON object).
    void SourceFailed(const std::string& strPath, const std::string& strCause) override;
    void Close() override;

private:
    ConsoleSourceList& m_list;
    CProgressPrinter& m_printer;
    LoadTarget m_target;
};

// A message box text as console lines: "\r\n" and "\r" become line feeds.
std::string ConsoleText(const std::string& strMessage);

} // namespace cli

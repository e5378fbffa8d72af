#pragma once
// Progress of a batch on the console. File names and messages are written through PrintableText.
// On a terminal one line redraws itself: every running file with its percent, the whole batch's
// percent and, once it can be trusted, the time left. Otherwise a line is written when a file
// begins and one for each further ten per cent of it. Each file ends with a line holding its
// status word and its output path, followed by the cause of a failure and the encoder's own lines
// for it (two blanks in front), if any. Files may end in another order than they began. In the
// JSON form each file ends with one JSON object on a line of its own and nothing else goes to
// standard output.
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "cli/console_text.h"

namespace cli {

// One running file's progress, as the host polls it.
struct FileProgress {
    int nNumber = 0;         // 1-based place in the list
    int nPercent = 0;        // 0..100
    std::int64_t nBytes = 0; // its output so far
};

// How a file ended.
struct FileOutcome {
    std::string strStatus; // "Done", "Skip" or "Error"
    std::string strSource;
    std::string strTarget;
    std::string strCause;           // why it failed, when known
    std::vector<std::string> notes; // the encoder's own lines ("error: ...", "note: ...")
    long nTimeLeftSeconds = -1;     // the batch's time left as the file ended; -1: not trusted yet
    bool bEarlier = false;          // converted by an earlier run of the batch (--resume)
};

class CProgressPrinter {
public:
    CProgressPrinter(std::FILE* out, bool bTerminal) : m_out(out), m_bTerminal(bTerminal) {}

    // The JSON form: {"status": "Done", "source": "...", "output": "...", "encoder": [...]}, with
    // "cause" for a failure whose cause is known and "time_left_seconds" once the time left can be
    // trusted, and "resumed": true for a file an earlier run had converted. Progress is not shown.
    void SetJson(bool bJson) { m_bJson = bJson; }
    // The --target-size in bytes (0: none): a "Done" line then tells the size reached against it
    // (TargetSizeReport), and each JSON object holds "target_size" and, for "Done", "size".
    void SetTargetSize(std::int64_t nBytes) { m_nTargetBytes = nBytes; }

    // File `nNumber` (1-based) of `nCount` begins.
    void BeginSource(int nNumber, int nCount, const std::string& strSource,
                     const std::string& strTarget);
    // The running files' progress, the whole batch's percent and the time left ("" until it can be
    // trusted); files that have not begun are left out.
    void Progress(const std::vector<FileProgress>& running, int nOverall,
                  const std::string& strTimeLeft);
    // File `nNumber` ended (it need not have begun).
    void EndSource(int nNumber, const FileOutcome& outcome);
    // A file that could not be read ends here, before the conversions: "Error" and its path, then
    // the cause on a line of its own; in the JSON form {"status": "Error", "source": ..., "output":
    // null, "cause": ..., "encoder": []}.
    void SourceUnreadable(const std::string& strSource, const std::string& strCause);
    // A text of its own lines (a notice), written to `stream` (the printer's own stream when
    // null) after clearing the redrawn line.
    void Note(const std::string& strText, std::FILE* stream = nullptr);
    // A passing state shown as the redrawn line on a terminal, and not at all otherwise (line
    // feeds become blanks); an empty text clears the line.
    void Status(const std::string& strText);

private:
    struct Running {
        int nCount = 0;
        std::string strName; // output file name, for the redrawn line
        int nLastDecade = 0; // the last ten per cent written (lines mode)
    };

    void Clear();
    void Redraw(const std::string& strLine);
    // The JSON fields of --target-size: "size" (when nReached >= 0) and "target_size"; "" without
    // a limit.
    std::string TargetSizeFields(std::int64_t nReached) const;
    std::string TerminalLine(const std::vector<FileProgress>& running, int nOverall,
                             const std::string& strTimeLeft) const;

    std::FILE* m_out;
    bool m_bTerminal;
    bool m_bJson = false;
    std::int64_t m_nTargetBytes = 0;
    std::map<int, Running> m_running; // by number, between BeginSource and EndSource
    bool m_bLineShown = false;        // a redrawn line stands on the terminal
    std::string m_strShown;           // the redrawn line as last written
};

} // namespace cli

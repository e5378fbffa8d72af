#pragma once
// Progress of a batch on the console. File names and messages are written through PrintableText. On
// a terminal one line redraws itself (file n of N, the file's and the batch's percent, the output
// size); otherwise one line is written when a file begins and one for each further ten per cent.
// Each file ends with a line holding its status word and its output path, followed by the
// encoder's own lines for it (two blanks in front), if any. In the JSON form each file ends with
// one JSON object on a line of its own and nothing else goes to standard output.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace cli {

class CEncoderNotes;

// A text as a JSON string, quotes included. Bytes that are not UTF-8 become the escapes
// "\udc80" to "\udcff" (the byte plus 0xDC00, as Python's "surrogateescape" reads them back), so
// a file name keeps every byte.
std::string JsonString(const std::string& text);

// A text as it may go to a terminal: control characters (C0, DEL and the UTF-8 forms of C1,
// which could steer the terminal or split a status line) become "?"; line feeds are kept when
// asked, other blanks become a space.
std::string PrintableText(const std::string& text, bool bKeepLineFeeds);

// "512 B", "14 KB", "3.2 MB".
std::string SizeText(std::int64_t nBytes);

class CProgressPrinter {
public:
    CProgressPrinter(std::FILE* out, bool bTerminal) : m_out(out), m_bTerminal(bTerminal) {}

    // The JSON form: {"status": "Done", "source": "...", "output": "...", "encoder": [...]}; the
    // source is given for the files that began. Progress is not shown.
    void SetJson(bool bJson) { m_bJson = bJson; }
    // Where the encoder's lines for each file come from; none when null.
    void SetEncoderNotes(CEncoderNotes* pNotes) { m_pNotes = pNotes; }

    // The turn of file `nNumber` (1-based) of `nCount`.
    void BeginSource(int nNumber, int nCount, const std::string& strSource,
                     const std::string& strTarget);
    // The running file's percent and its output size so far; ignored between files.
    void Update(int nPercent, std::int64_t nOutputBytes);
    // The file ended with the status word ("Done", "Skip", "Error"). A failed file's cause, when
    // known, follows on a line of its own (two blanks in front), before the encoder's lines; in
    // the JSON form it is the field "cause".
    void EndSource(const std::string& strStatus, const std::string& strTarget,
                   const std::string& strCause = std::string());
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
    void Clear();
    void Redraw(const std::string& strLine);
    int Overall(int nPercent) const;

    std::FILE* m_out;
    bool m_bTerminal;
    bool m_bJson = false;
    CEncoderNotes* m_pNotes = nullptr;
    std::string m_strSource; // the source of the running file, for the JSON form
    std::string m_strTarget;
    int m_nNumber = 0;
    int m_nCount = 0;
    int m_nLastDecade = 0;     // the last ten per cent written (lines mode)
    bool m_bRunning = false;   // between BeginSource and EndSource
    bool m_bLineShown = false; // a redrawn line stands on the terminal
    std::string m_strName;     // output file name, for the redrawn line
    std::string m_strShown;    // the redrawn line as last written
};

} // namespace cli

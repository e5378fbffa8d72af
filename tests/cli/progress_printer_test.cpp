// The progress lines of lumicast-batch, on a terminal and in a log or pipe.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/progress_printer.h"
#include "common/testkit.h"

namespace {

// Collects what the printer writes.
class Capture {
public:
    Capture() { m_file = open_memstream(&m_pData, &m_nSize); }
    ~Capture() {
        if (m_file != nullptr) {
            std::fclose(m_file);
        }
        std::free(m_pData);
    }
    std::FILE* File() { return m_file; }
    std::string Text() {
        std::fflush(m_file);
        return std::string(m_pData, m_nSize);
    }

private:
    std::FILE* m_file = nullptr;
    char* m_pData = nullptr;
    std::size_t m_nSize = 0;
};

cli::FileOutcome Outcome(const std::string& strStatus, const std::string& strSource,
                         const std::string& strTarget, const std::string& strCause = "") {
    cli::FileOutcome outcome;
    outcome.strStatus = strStatus;
    outcome.strSource = strSource;
    outcome.strTarget = strTarget;
    outcome.strCause = strCause;
    return outcome;
}

// The progress of file 2 of 4 when the one before it is done.
void Update(cli::CProgressPrinter& printer, int nPercent, std::int64_t nBytes) {
    printer.Progress({{2, nPercent, nBytes}}, (100 + nPercent) / 4, "");
}

TEST(CProgressPrinter, WithoutTerminalWritesOneLinePerFileAndPerTenPerCent) {
    Capture out;
    cli::CProgressPrinter printer(out.File(), false);
    printer.BeginSource(2, 4, "/in/clip.avi", "/out/clip-cvt.mp4");
    for (int percent : {0, 5, 15, 35, 35, 99, 100}) {
        Update(printer, percent, 3 * 1024 * 1024 / 2);
    }
    printer.EndSource(2, Outcome("Done", "/in/clip.avi", "/out/clip-cvt.mp4"));
    EXPECT_EQ(testkit::SplitLines(out.Text()), (std::vector<std::string>{
                                                   "File 2 of 4: /in/clip.avi -> /out/clip-cvt.mp4",
                                                   "File 2 of 4: 10%, overall 28%, 1.5 MB",
                                                   "File 2 of 4: 30%, overall 33%, 1.5 MB",
                                                   "File 2 of 4: 90%, overall 49%, 1.5 MB",
                                                   "Done /out/clip-cvt.mp4",
                                               }));
}

TEST(CProgressPrinter, OnTerminalOneLineRedrawsWithinTheWidth) {
    Capture out;
    cli::CProgressPrinter printer(out.File(), true);
    const std::string longName = "/out/" + std::string(120, 'n') + "\xC3\xA9-cvt.mp4";
    printer.BeginSource(1, 3, "/in/a.avi", longName);
    printer.Progress({{1, 50, 2048}}, 16, "");
    printer.Note("cancelling");
    printer.EndSource(1, Outcome("Skip", "/in/a.avi", longName));

    const std::string text = out.Text();
    // Every redraw starts at the line's beginning and clears what is left of the old one.
    std::size_t from = 0;
    int nRedraws = 0;
    while ((from = text.find('\r', from)) != std::string::npos) {
        const std::size_t end = text.find_first_of("\r\n\033", from + 1);
        EXPECT_LE(end - from - 1, 79U);
        ++nRedraws;
        ++from;
    }
    EXPECT_GE(nRedraws, 2);
    EXPECT_NE(text.find("File 1 of 3:  50%, overall  16%, 2 KB - nnn"), std::string::npos);
    // Notes and the status line stand on lines of their own.
    EXPECT_NE(text.find("\r\033[Kcancelling\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - longName.size() - 6), "Skip " + longName + "\n");
}

TEST(CProgressPrinter, FileNamesCannotSteerTheTerminalOrSplitALine) {
    Capture out;
    cli::CProgressPrinter printer(out.File(), false);
    const std::string hostile = "/out/a\033]0;title\007b\nDone /etc/passwd\xC2\x9B"
                                "2J-cvt.mp4";
    printer.BeginSource(1, 1, "/in/x.avi", hostile);
    printer.EndSource(1, Outcome("Done", "/in/x.avi", hostile));
    printer.Note("failed:\n" + hostile);
    EXPECT_EQ(testkit::SplitLines(out.Text()),
              (std::vector<std::string>{
                  "File 1 of 1: /in/x.avi -> /out/a?]0;title?b Done /etc/passwd?2J-cvt.mp4",
                  "Done /out/a?]0;title?b Done /etc/passwd?2J-cvt.mp4",
                  "failed:",
                  "/out/a?]0;title?b",
                  "Done /etc/passwd?2J-cvt.mp4",
              }));
    // Plain UTF-8 stays as it is.
    EXPECT_EQ(cli::PrintableText("caf\xC3\xA9 \xE2\x82\xAC", false), "caf\xC3\xA9 \xE2\x82\xAC");
}

} // namespace

namespace {

TEST(CProgressPrinter, AFailedFileShowsItsCauseInBothForms) {
    for (const bool bJson : {false, true}) {
        Capture out;
        cli::CProgressPrinter printer(out.File(), false);
        printer.SetJson(bJson);
        printer.BeginSource(1, 2, "/in/a.avi", "/out/a-cvt.mp4");
        printer.EndSource(1, Outcome("Error", "/in/a.avi", "/out/a-cvt.mp4",
                                     "The disk is full: \"/out/a-cvt.mp4\"\n"));
        printer.BeginSource(2, 2, "/in/b.avi", "/out/b-cvt.mp4");
        printer.EndSource(2, Outcome("Done", "/in/b.avi", "/out/b-cvt.mp4"));
        const std::vector<std::string> lines = testkit::SplitLines(out.Text());
        if (bJson) {
            EXPECT_EQ(lines, (std::vector<std::string>{
                                 "{\"status\": \"Error\", \"source\": \"/in/a.avi\", \"output\": "
                                 "\"/out/a-cvt.mp4\", \"cause\": \"The disk is full: "
                                 "\\\"/out/a-cvt.mp4\\\"\\u000a\", \"encoder\": []}",
                                 "{\"status\": \"Done\", \"source\": \"/in/b.avi\", \"output\": "
                                 "\"/out/b-cvt.mp4\", \"encoder\": []}"}));
        } else {
            // One plain line, whatever the cause's text holds.
            EXPECT_EQ(lines, (std::vector<std::string>{"File 1 of 2: /in/a.avi -> /out/a-cvt.mp4",
                                                       "Error /out/a-cvt.mp4",
                                                       "  The disk is full: \"/out/a-cvt.mp4\" ",
                                                       "File 2 of 2: /in/b.avi -> /out/b-cvt.mp4",
                                                       "Done /out/b-cvt.mp4"}));
        }
    }
}

} // namespace

namespace {

// Several files at once: the terminal line shows every one of them and the time left, within the
// width; the lines mode gives each file its own lines; files end in any order, each with its
// source in the JSON form.
TEST(CProgressPrinter, SeveralRunningFilesAndTheTimeLeft) {
    {
        Capture out;
        cli::CProgressPrinter printer(out.File(), true);
        printer.BeginSource(3, 20, "/in/c.avi", "/out/" + std::string(60, 'c') + "-cvt.mp4");
        printer.BeginSource(4, 20, "/in/d.avi", "/out/d-cvt.mp4");
        printer.Progress({{3, 45, 0}, {4, 12, 0}}, 12, "about 3 minutes left");
        const std::string text = out.Text();
        const std::string line = text.substr(text.rfind('\r') + 1);
        EXPECT_EQ(line.rfind("Files 3, 4 of 20:  45%  12%, overall  12%, about 3 minutes left - "
                             "ccc",
                             0),
                  0U)
            << line;
        EXPECT_NE(line.find(", d-cvt"), std::string::npos) << line;
        EXPECT_LE(line.find("\033"), 79U);
    }
    {
        Capture out;
        cli::CProgressPrinter printer(out.File(), false);
        printer.BeginSource(1, 2, "/in/a.avi", "/out/a-cvt.mp4");
        printer.BeginSource(2, 2, "/in/b.avi", "/out/b-cvt.mp4");
        printer.Progress({{1, 20, 1024}, {2, 50, 2048}}, 35, "about 40 seconds left");
        printer.EndSource(2, Outcome("Done", "/in/b.avi", "/out/b-cvt.mp4"));
        printer.Progress({{1, 60, 4096}}, 80, "");
        printer.EndSource(1, Outcome("Done", "/in/a.avi", "/out/a-cvt.mp4"));
        EXPECT_EQ(testkit::SplitLines(out.Text()),
                  (std::vector<std::string>{
                      "File 1 of 2: /in/a.avi -> /out/a-cvt.mp4",
                      "File 2 of 2: /in/b.avi -> /out/b-cvt.mp4",
                      "File 1 of 2: 20%, overall 35%, 1 KB, about 40 seconds left",
                      "File 2 of 2: 50%, overall 35%, 2 KB, about 40 seconds left",
                      "Done /out/b-cvt.mp4",
                      "File 1 of 2: 60%, overall 80%, 4 KB",
                      "Done /out/a-cvt.mp4",
                  }));
    }
    {
        Capture out;
        cli::CProgressPrinter printer(out.File(), false);
        printer.SetJson(true);
        cli::FileOutcome outcome = Outcome("Done", "/in/b.avi", "/out/b-cvt.mp4");
        outcome.nTimeLeftSeconds = 95;
        printer.EndSource(2, outcome);
        outcome = Outcome("Skip", "/in/a.avi", "/out/a-cvt.mp4");
        printer.EndSource(1, outcome);
        outcome = Outcome("Done", "/in/c.avi", "/out/c-cvt.mp4");
        outcome.bEarlier = true;
        printer.EndSource(0, outcome);
        EXPECT_EQ(testkit::SplitLines(out.Text()),
                  (std::vector<std::string>{
                      "{\"status\": \"Done\", \"source\": \"/in/b.avi\", \"output\": "
                      "\"/out/b-cvt.mp4\", \"time_left_seconds\": 95, \"encoder\": []}",
                      "{\"status\": \"Skip\", \"source\": \"/in/a.avi\", \"output\": "
                      "\"/out/a-cvt.mp4\", \"encoder\": []}",
                      "{\"status\": \"Done\", \"source\": \"/in/c.avi\", \"output\": "
                      "\"/out/c-cvt.mp4\", \"resumed\": true, \"encoder\": []}"}));
    }
}

} // namespace

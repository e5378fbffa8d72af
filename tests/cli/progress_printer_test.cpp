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

TEST(CProgressPrinter, WithoutTerminalWritesOneLinePerFileAndPerTenPerCent) {
    Capture out;
    cli::CProgressPrinter printer(out.File(), false);
    printer.BeginSource(2, 4, "/in/clip.avi", "/out/clip-cvt.mp4");
    for (int percent : {0, 5, 15, 35, 35, 99, 100}) {
        printer.Update(percent, 3 * 1024 * 1024 / 2);
    }
    printer.EndSource("Done", "/out/clip-cvt.mp4");
    EXPECT_EQ(testkit::SplitLines(out.Text()), (std::vector<std::string>{
                                                   "File 2 of 4: /in/clip.avi -> /out/clip-cvt.mp4",
                                                   "File 2 of 4: 10%, overall 27%, 1.5 MB",
                                                   "File 2 of 4: 30%, overall 32%, 1.5 MB",
                                                   "File 2 of 4: 90%, overall 47%, 1.5 MB",
                                                   "Done /out/clip-cvt.mp4",
                                               }));
}

TEST(CProgressPrinter, OnTerminalOneLineRedrawsWithinTheWidth) {
    Capture out;
    cli::CProgressPrinter printer(out.File(), true);
    const std::string longName = "/out/" + std::string(120, 'n') + "\xC3\xA9-cvt.mp4";
    printer.BeginSource(1, 3, "/in/a.avi", longName);
    printer.Update(50, 2048);
    printer.Note("cancelling");
    printer.EndSource("Skip", longName);

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
    printer.EndSource("Done", hostile);
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
        printer.EndSource("Error", "/out/a-cvt.mp4", "The disk is full: \"/out/a-cvt.mp4\"\n");
        printer.BeginSource(2, 2, "/in/b.avi", "/out/b-cvt.mp4");
        printer.EndSource("Done", "/out/b-cvt.mp4");
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

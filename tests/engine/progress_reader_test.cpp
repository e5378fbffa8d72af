// The read loop fed packet by packet through a socket pair, with a scripted clock: each read
// returns one packet, and each packet arrives at the tick the test gives it.
#include "engine/progress_reader.h"

#include "engine/encoder_reason.h"

#include "common/fake_encoder.h"
#include "common/testkit.h"
#include "support/log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

struct Clock {
    std::vector<std::uint32_t> ticks; // the first one is the loop's start
    std::size_t next = 0;
    std::vector<std::int32_t> percentAtRead; // the percent as each read arrives
    std::atomic<std::int32_t>* percent = nullptr;
};
Clock g_clock;

std::uint32_t ScriptedTick() {
    if (g_clock.next > 0) {
        g_clock.percentAtRead.push_back(g_clock.percent->load());
    }
    const std::size_t i = std::min(g_clock.next++, g_clock.ticks.size() - 1);
    return g_clock.ticks[i];
}

class ProgressReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, m_fds), 0);
        SetLogPath(m_dir.File("log.txt"));
        g_clock = Clock{};
        g_clock.percent = &m_percent;
    }
    void TearDown() override {
        SetLogPath("");
        close(m_fds[0]);
        if (m_fds[1] >= 0) {
            close(m_fds[1]);
        }
    }

    // Queues packets with the ticks at which they are read; `start` is the loop's first tick.
    void Script(std::uint32_t start,
                const std::vector<std::pair<std::uint32_t, std::string>>& packets,
                bool end = true) {
        g_clock.ticks.push_back(start);
        for (const auto& [tick, text] : packets) {
            ASSERT_EQ(send(m_fds[1], text.data(), text.size(), 0),
                      static_cast<ssize_t>(text.size()));
            g_clock.ticks.push_back(tick);
        }
        if (end) {
            close(m_fds[1]);
            m_fds[1] = -1;
        }
    }

    void Read(std::int64_t duration) {
        ReadEncoderProgress(m_fds[0], duration, m_percent, m_cancel, ScriptedTick);
    }

    std::string Log() const { return testkit::ReadFile(m_dir.File("log.txt")); }

    testkit::TempDir m_dir;
    int m_fds[2] = {-1, -1};
    std::atomic<std::int32_t> m_percent{0};
    std::atomic<bool> m_cancel{false};
};

TEST_F(ProgressReaderTest, ParsesAtMostEveryHalfSecondWhatGathered) {
    Script(1000, {{1100, "frame=1 time=2 a\r"},
                  {1600, "frame=2 time=10 b\r"},
                  {2200, "time=20 c\r"},
                  {2300, "time=30 d\r"}});
    Read(40);
    // As each read arrives: nothing parsed, then 5 % (the first field of the gathered text), 50 %.
    EXPECT_EQ(g_clock.percentAtRead, (std::vector<std::int32_t>{0, 0, 5, 50}));
    EXPECT_EQ(m_percent.load(), 100) << "the end of the output";
    // The first chunk is logged, then the same text as the line that moved progress off 0; the
    // move from 5 to 50 is not logged, and the text left unparsed at the end is not either.
    EXPECT_EQ(Log(), "frame=1 time=2 a\rframe=2 time=10 b\r\n"
                     "frame=1 time=2 a\rframe=2 time=10 b\r\n");
}

TEST_F(ProgressReaderTest, AFullBufferWithinHalfASecondIsDropped) {
    std::string blob = "BLOB";
    blob += std::string(2047 - blob.size() - 9, '.') + " time=39 ";
    Script(0, {{100, blob}, {600, "frame=9 time=10.00 end\r"}});
    Read(40);
    EXPECT_EQ(g_clock.percentAtRead, (std::vector<std::int32_t>{0, 0}));
    EXPECT_EQ(Log(), "frame=9 time=10.00 end\r\nframe=9 time=10.00 end\r\n")
        << "the dropped chunk was never parsed nor logged";
}

TEST_F(ProgressReaderTest, ABufferFilledInPiecesIsDroppedToo) {
    Script(0, {{100, std::string(1000, 'a')},
               {200, std::string(1046, 'b') + "x"},
               {300, "time=8 \r"},
               {900, "time=4 \r"}});
    Read(40);
    // The 2,047 bytes went; "time=8" and "time=4" were parsed together, first field first.
    EXPECT_EQ(g_clock.percentAtRead, (std::vector<std::int32_t>{0, 0, 0, 0}));
    EXPECT_EQ(Log(), "time=8 \rtime=4 \r\ntime=8 \rtime=4 \r\n");
}

TEST_F(ProgressReaderTest, AFullBufferAfterHalfASecondIsParsed) {
    std::string full = std::string(2047 - 9, '.') + " time=20 ";
    Script(0, {{500, full}, {501, "time=1 \r"}});
    Read(40);
    EXPECT_EQ(g_clock.percentAtRead, (std::vector<std::int32_t>{0, 50}));
}

TEST_F(ProgressReaderTest, TheClockMayWrap) {
    Script(0xFFFFFF00U, {{0x00000010U, "time=10 \r"}, {0x00000100U, "time=30 \r"}});
    Read(40);
    // 0x110 ms after the start: kept; 0x200 ms: parsed.
    EXPECT_EQ(g_clock.percentAtRead, (std::vector<std::int32_t>{0, 0}));
    EXPECT_EQ(Log(), "time=10 \rtime=30 \r\ntime=10 \rtime=30 \r\n");
}

TEST_F(ProgressReaderTest, CancelIsSeenOnlyAtAParse) {
    m_cancel = true;
    Script(0, {{100, "time=1 \r"}, {600, "time=2 \r"}, {1200, "time=3 \r"}}, false);
    Read(10);
    EXPECT_EQ(m_percent.load(), 100);
    // The loop left after the parse at 600 ms; the third packet is still waiting.
    char buffer[32] = {};
    EXPECT_EQ(recv(m_fds[0], buffer, sizeof buffer, MSG_DONTWAIT), 8);
    EXPECT_STREQ(buffer, "time=3 \r");
}

TEST_F(ProgressReaderTest, OutputWithoutStatusLinesOnlyLogsTheFirstChunk) {
    Script(0, {{700, "Kestrelvx: cannot open input\n"}, {1400, "more\n"}});
    Read(40);
    EXPECT_EQ(g_clock.percentAtRead, (std::vector<std::int32_t>{0, 0}));
    EXPECT_EQ(Log(), "Kestrelvx: cannot open input\n\n");
}

} // namespace

namespace {

TEST_F(ProgressReaderTest, TheEncodersReasonSurvivesDroppedAndCutChunks) {
    // The reason line arrives cut in two, inside a buffer that is dropped unparsed, and is
    // followed by other lines; a later reason replaces it; an unfinished last line counts.
    std::string blob(2047 - 30, '.');
    blob += "\nKestrelvx: error: the o";
    Script(0, {{100, blob},
               {120, "utput folder is not writable\nffmpeg: bye\n"},
               {900, "time=1 \rKestrelvx: error: disk full"}});
    CEncoderReason reason;
    ReadEncoderProgress(m_fds[0], 40, m_percent, m_cancel, ScriptedTick, &reason);
    EXPECT_STREQ(reason.Text(), "Kestrelvx: error: disk full");

    CEncoderReason first;
    first.Feed("Kestrelvx: error: the o", 23);
    first.Feed("utput folder is not writable\r\nKestrelvx: note: x\n", 49);
    EXPECT_STREQ(first.Text(), "Kestrelvx: error: the output folder is not writable");
    CEncoderReason none;
    none.Feed("Kestrelvx: error: \n", 19); // no text after the prefix
    none.EndOfOutput();
    EXPECT_STREQ(none.Text(), "");
}

} // namespace

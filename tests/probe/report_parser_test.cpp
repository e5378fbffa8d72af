#include "probe/report_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

FileMediaFormat Parse(const std::string& report) {
    FileMediaFormat record;
    ParseEncoderReport(report, record);
    return record;
}

TEST(ReportParser, SoundOnlyReport) {
    const auto r = Parse("Input #0, mp3, from '/a/b.mp3':\n"
                         "  Duration: 00:00:10.00, start: 0.000000, bitrate: 64 kb/s\n"
                         "    Stream #0.0: Audio: mp3, 44100 Hz, stereo, s16p, 64 kb/s\n");
    EXPECT_EQ(r.m_nDuration, 10);
    EXPECT_EQ(r.m_strDuration, "00:00:10.00 (10 s)");
    EXPECT_EQ(r.m_strBitrate, "64 kb/s");
    EXPECT_EQ(r.m_strVideo, "");
    EXPECT_EQ(r.m_strAudio, " mp3, 44100 Hz, stereo, s16p, 64 kb/s");
}

TEST(ReportParser, DurationFieldsAndTheirFallbacks) {
    const auto hms = Parse("Duration: 01:02:03.99, start: 0.000000, bitrate: 1014 kb/s\n");
    EXPECT_EQ(hms.m_nDuration, 3723) << "fractions are dropped, never rounded";
    EXPECT_EQ(hms.m_strDuration, "01:02:03.99 (3723 s)");
    EXPECT_EQ(hms.m_strBitrate, "1014 kb/s");

    // Under one second the started second counts; a zero fraction is no second at all.
    const auto shortClip = Parse("Duration: 00:00:00.40, start: 0.000000, bitrate: 90 kb/s\n");
    EXPECT_EQ(shortClip.m_nDuration, 1);
    EXPECT_EQ(shortClip.m_strDuration, "00:00:00.40 (1 s)");
    EXPECT_EQ(Parse("Duration: 00:00:00.00, start: 0.0, bitrate: 1 kb/s\n").m_nDuration, 0);

    const auto noStart = Parse("Duration: 00:00:05.0, bitrate: 128 kb/s\n");
    EXPECT_EQ(noStart.m_nDuration, 5);
    EXPECT_EQ(noStart.m_strBitrate, "");

    const auto crlf = Parse("Duration: 00:00:07.50, start: 0.0, bitrate: 96 kb/s\r\n");
    EXPECT_EQ(crlf.m_nDuration, 7);
    EXPECT_EQ(crlf.m_strBitrate, "96 kb/s");

    // N/A has a comma, so it parses, to zero seconds.
    const auto na = Parse("Duration: N/A, start: 0.000000, bitrate: N/A\n");
    EXPECT_EQ(na.m_nDuration, 0);
    EXPECT_EQ(na.m_strDuration, "N/A (0 s)");

    // No comma: the fallback text; the bit rate is left as it was.
    FileMediaFormat record;
    record.m_strBitrate = "7 kb/s";
    ParseEncoderReport("Duration: 00:00:09.00\nStream #0.0: Video: h264\n", record);
    EXPECT_EQ(record.m_nDuration, 0);
    EXPECT_EQ(record.m_strDuration, "0 (0 s)");
    EXPECT_EQ(record.m_strBitrate, "7 kb/s");
    EXPECT_EQ(record.m_strVideo, " h264");

    EXPECT_EQ(Parse("Duration: 00:00\n").m_strDuration, "0 (0 s)") << "no comma";
    EXPECT_EQ(Parse("Duration: 12, x\n").m_strDuration, "0 (0 s)") << "time fields missing";

    // Absurd numbers are held within range instead of overflowing.
    EXPECT_EQ(Parse("Duration: 99999999999:00:00.00, start: 0\n").m_nDuration, INT32_MAX);
}

TEST(ReportParser, StreamsWithoutADurationLine) {
    FileMediaFormat record;
    record.m_strDuration = "kept";
    ParseEncoderReport("Stream #0.0(und): Video: h264, yuv420p, 640x480, 25 tbr\n"
                       "Stream #0.1(und): Audio: aac, 48000 Hz, stereo\n",
                       record);
    EXPECT_EQ(record.m_nDuration, 0);
    EXPECT_EQ(record.m_strDuration, "kept");
    EXPECT_EQ(record.m_strVideo, " h264, yuv420p, 640x480, 25 tbr");
    EXPECT_EQ(record.m_strAudio, " aac, 48000 Hz, stereo");

    // A duration line that does not end: no seconds, and streams from its position on.
    const auto open = Parse("Stream #0.0: Audio: early\nDuration: 00:00:03.00, start: 0");
    EXPECT_EQ(open.m_nDuration, 0);
    EXPECT_EQ(open.m_strAudio, "") << "the scan starts at the duration field";
}

TEST(ReportParser, StreamScanRules) {
    const auto r = Parse("Duration: 00:00:04.00, start: 0.0, bitrate: 10 kb/s\n"
                         "Stream #0.0: Video: first\n"
                         "Stream #0.1: Data: none\n"
                         "Stream #0.2: Video: second\r\n"
                         "Stream #0.3: Audio:\n"
                         "Stream #0.4: Audio: cut off");
    EXPECT_EQ(r.m_strVideo, " second\r") << "the last video line wins, with its carriage return";
    EXPECT_EQ(r.m_strAudio, "") << "no text after the second colon; the unfinished line ends it";

    // Streams before the duration line are not looked at.
    EXPECT_EQ(Parse("Stream #0.0: Video: before\nDuration: 00:00:02.00, x\n").m_strVideo, "");

    // A line is cut to 199 characters.
    const std::string longText(300, 'v');
    const auto cut = Parse("Stream #0.0: Video: " + longText + "\n");
    EXPECT_EQ(cut.m_strVideo, " " + std::string(199 - 12, 'v')) << "\"0.0: Video: \" is 12 long";

    // The report ends at its first zero byte.
    const char withZero[] = "Stream #0.0: Video: a\n\0Stream #0.1: Video: b\n";
    EXPECT_EQ(Parse(std::string(withZero, sizeof withZero - 1)).m_strVideo, " a");
}

TEST(ReportParser, PathGivesExtensionAndTitle) {
    FileMediaFormat r;
    r.m_nDuration = 42;
    FillRecordFromPath("/clips/a.b.avi", r);
    EXPECT_EQ(r.m_strPath, "/clips/a.b.avi");
    EXPECT_EQ(r.m_strExt, "avi");
    EXPECT_EQ(r.m_strTitle, "a.b");
    EXPECT_EQ(r.m_nStart, 0);
    EXPECT_EQ(r.m_nEnd, 42);

    FileMediaFormat folderDot;
    FillRecordFromPath("/home/u/my.videos/clip", folderDot);
    EXPECT_EQ(folderDot.m_strExt, "") << "a dot in a folder name is no extension";
    EXPECT_EQ(folderDot.m_strTitle, "clip");

    FileMediaFormat root;
    FillRecordFromPath("/clip.mp4", root);
    EXPECT_EQ(root.m_strTitle, "clip");
    EXPECT_EQ(root.m_strExt, "mp4");

    FileMediaFormat relative;
    FillRecordFromPath("my.holiday.avi", relative);
    EXPECT_EQ(relative.m_strTitle, "my.holiday");
    EXPECT_EQ(relative.m_strExt, "avi");
}

} // namespace

// The information panel's text.
#include "sources/info_panel_text.h"

#include "sources/source_record.h"

#include <gtest/gtest.h>

namespace {

FileMediaFormat ExampleRecord() {
    FileMediaFormat record;
    record.m_strPath = "/media/clip.avi";
    record.m_strTitle = "clip";
    record.m_strExt = "avi";
    record.m_strDuration = "00:01:23.45 (83 s)";
    record.m_strBitrate = "1014 kb/s";
    record.m_strVideo = " mpeg4, yuv420p, 640x480, 25.00 tb(r)";
    record.m_strAudio = " mp3, 44100 Hz, stereo, 128 kb/s";
    return record;
}

TEST(PanelText, ExampleRecordGivesVideoThenAudioEachOnTwoLines) {
    EXPECT_EQ(InfoPanelText(ExampleRecord()), "clip.avi\r\n"
                                              "\r\n"
                                              "Duration:00:01:23.45 (83 s)\r\n"
                                              "Bitrate:1014 kb/s\r\n"
                                              "Video:\r\n"
                                              "  mpeg4, yuv420p,\r\n"
                                              "  640x480, 25.00 tb(r)\r\n"
                                              "Audio:\r\n"
                                              "  mp3, 44100 Hz,\r\n"
                                              "  stereo, 128 kb/s");
}

TEST(PanelText, StreamSectionsByCommaCount) {
    FileMediaFormat record = ExampleRecord();
    record.m_strAudio.clear();           // no audio stream: no section
    record.m_strVideo = " h264 yuv420p"; // no comma: no section either
    EXPECT_EQ(InfoPanelText(record),
              "clip.avi\r\n\r\nDuration:00:01:23.45 (83 s)\r\nBitrate:1014 kb/s");

    record.m_strAudio = " aac, 48000 Hz"; // one comma: one line with the whole text
    EXPECT_EQ(InfoPanelStreamSection("Audio", record.m_strAudio), "\r\nAudio:\r\n  aac, 48000 Hz");
    // Exactly two commas: the tail after the second comma may be empty.
    EXPECT_EQ(InfoPanelStreamSection("Video", " a, b,"), "\r\nVideo:\r\n  a, b,\r\n ");
}

TEST(PanelText, NoDurationTextMeansUnknownFormat) {
    FileMediaFormat record = ExampleRecord();
    record.m_strDuration.clear();
    EXPECT_EQ(InfoPanelText(record), "clip.avi\r\n\r\nUnknown file format.");
}

TEST(PanelText, FileNamesAreShownAsTheyAre) {
    FileMediaFormat record = ExampleRecord();
    record.m_strTitle = "100% %s %n";
    EXPECT_EQ(InfoPanelText(record).rfind("100% %s %n.avi\r\n\r\nDuration:", 0), 0U);
}

} // namespace

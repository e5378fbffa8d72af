// Conversions through the encoder job with the real encoder, checked with ffprobe.
#include "engine/encoder_job.h"

#include "common/media.h"
#include "common/testkit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

const char kIpodOptions[] = " -vcodec xvid -s 320x240 -r 29.970 -b 768 -ac 2 -ab 128 -ar 44100";

class EncoderEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(testkit::BinDir() + "/Kestrelvx")) {
            GTEST_SKIP() << "Kestrelvx is not built";
        }
        m_strClip = m_dir.File("clip.mp4");
        ASSERT_TRUE(testkit::MakeClip(m_strClip, 6, 160, 120, true));
    }

    testkit::TempDir m_dir;
    std::string m_strClip;
    CEncoderJob m_job;
};

TEST_F(EncoderEndToEndTest, IpodSettingsGiveMpeg4AndAacOfThePart) {
    const std::string output = m_dir.File("clip \"quoted\"-cvt.mp4");
    ASSERT_EQ(m_job.Run(m_strClip, output, "clip", kIpodOptions, 1, 5), 0);
    EXPECT_EQ(m_job.m_nPercent.load(), 100);
    const testkit::MediaInfo info = testkit::ProbeStreams(output);
    ASSERT_TRUE(info.ok);
    const testkit::StreamInfo* video = info.First("video");
    const testkit::StreamInfo* audio = info.First("audio");
    ASSERT_NE(video, nullptr);
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(video->codec, "mpeg4");
    EXPECT_EQ(video->width, 320);
    EXPECT_EQ(video->height, 240);
    EXPECT_EQ(video->frameRate, "30000/1001");
    EXPECT_EQ(audio->codec, "aac");
    EXPECT_EQ(audio->channels, 2);
    EXPECT_EQ(audio->sampleRate, 44100);
    EXPECT_NE(info.formatName.find("mp4"), std::string::npos);
    EXPECT_NEAR(info.duration, 4.0, 0.25) << "the part from 1 s to 5 s";
}

TEST_F(EncoderEndToEndTest, PalDvdGivesMpeg2ProgramStream) {
    const std::string output = m_dir.File("clip-cvt.mpg");
    ASSERT_EQ(m_job.Run(m_strClip, output, "clip", "-target pal-dvd", 2, 4), 0);
    const testkit::MediaInfo info = testkit::ProbeStreams(output);
    ASSERT_TRUE(info.ok);
    const testkit::StreamInfo* video = info.First("video");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->codec, "mpeg2video");
    EXPECT_EQ(video->width, 720);
    EXPECT_EQ(video->height, 576);
    EXPECT_EQ(video->frameRate, "25/1");
    EXPECT_EQ(info.formatName, "mpeg");
    EXPECT_NEAR(info.duration, 2.0, 0.3) << "the part from 2 s to 4 s";
}

TEST_F(EncoderEndToEndTest, AnInputTheEncoderCannotReadFails) {
    const std::string output = m_dir.File("missing-cvt.mp4");
    EXPECT_EQ(m_job.Run(m_dir.File("missing.avi"), output, "missing", kIpodOptions, 0, 3), -1);
    EXPECT_EQ(m_job.m_nPercent.load(), 100);
    EXPECT_FALSE(fs::exists(output));
}

} // namespace

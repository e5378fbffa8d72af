// The facts a probe learned serve the runs that follow on the very same file: a probed MP4 then
// converts to MP4 without Kestrelvx loading any of FFmpeg's libraries itself (only ffmpeg does),
// the reports are the same, and a file that changed is read again.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/fake_encoder.h"
#include "common/media.h"
#include "common/testkit.h"
#include "kestrelvx/helpers/kestrelvx_runner.h"

namespace fs = std::filesystem;

namespace {

using kestrelvx_test::ConversionWords;
using kestrelvx_test::RunKestrelvx;

class KestrelvxFactsCache : public ::testing::Test {
protected:
    // How many of the processes a run started loaded libavformat (the dynamic loader's own
    // account, one file per process).
    int ProcessesLoadingLibav(const std::vector<std::string>& words, std::string& output) {
        fs::remove_all(m_dir.File("ld"));
        fs::create_directories(m_dir.File("ld"));
        int nLoading = 0;
        {
            testkit::ScopedEnv debug("LD_DEBUG", "libs");
            testkit::ScopedEnv debugOutput("LD_DEBUG_OUTPUT", m_dir.File("ld/run"));
            output = RunKestrelvx(words).output;
        }
        for (const auto& entry : fs::directory_iterator(m_dir.File("ld"))) {
            nLoading +=
                testkit::ReadFile(entry.path().string()).find("libavformat") != std::string::npos
                    ? 1
                    : 0;
        }
        return nLoading;
    }

    testkit::TempDir m_dir;
    testkit::ScopedEnv m_cache{"XDG_CACHE_HOME", m_dir.File("cache")};
};

TEST_F(KestrelvxFactsCache, AProbedFileConvertsWithoutLoadingTheLibrariesTwice) {
    const std::string clip = m_dir.File("clip.mp4");
    ASSERT_TRUE(testkit::MakeClip(clip, 2.0, 320, 240, true));
    const std::string first = RunKestrelvx({"-i", clip}).output;
    ASSERT_NE(first.find("Duration: 00:00:02"), std::string::npos) << first;

    // The same report again, now from the kept facts: no library is loaded for it.
    std::string again;
    EXPECT_EQ(ProcessesLoadingLibav({"-i", clip}, again), 0);
    EXPECT_EQ(again, first);

    // The conversion: ffmpeg loads the libraries, Kestrelvx itself does not (neither for the
    // input's facts nor for reading the written MP4 back).
    const std::string out = m_dir.File("clip-cvt.mp4");
    std::string converted;
    EXPECT_EQ(ProcessesLoadingLibav(
                  ConversionWords(clip, "clip", " -vcodec xvid -s 160x120", 0, 2, out), converted),
              1)
        << converted;
    const testkit::MediaInfo info = testkit::ProbeStreams(out);
    ASSERT_TRUE(info.ok) << converted;
    ASSERT_NE(info.First("video"), nullptr);
    EXPECT_EQ(info.First("video")->width, 160);
    EXPECT_NE(info.First("audio"), nullptr);

    // A file that changed is read again: its own facts, not the kept ones.
    ASSERT_TRUE(testkit::MakeClip(clip, 1.0, 160, 120, false));
    std::string changed;
    EXPECT_EQ(ProcessesLoadingLibav({"-i", clip}, changed), 1);
    EXPECT_NE(changed.find("Duration: 00:00:01"), std::string::npos) << changed;
    EXPECT_EQ(changed.find("Audio:"), std::string::npos) << changed;
}

} // namespace

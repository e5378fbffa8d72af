// The probe with scripted encoders (exact output, silence) and with the real encoder on
// generated clips.
#include "probe/probe_with_encoder.h"

#include "common/fake_encoder.h"
#include "common/media.h"
#include "common/processes.h"
#include "common/testkit.h"
#include "engine/encoder_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char kReport[] = "Input #0, avi, from 'x':\n"
                       "  Duration: 00:00:12.40, start: 0.000000, bitrate: 512 kb/s\n"
                       "    Stream #0.0: Video: mpeg4, yuv420p, 320x240, 25 tbr\n"
                       "    Stream #0.1: Audio: mp3, 44100 Hz, stereo\n";

class ProbeFakeTest : public ::testing::Test {
protected:
    void Fake(const std::string& body) { testkit::WriteFakeEncoder(m_bin.Path(), body); }
    std::string ReportFile() {
        std::ofstream(m_dir.File("report"), std::ios::binary) << kReport;
        return testkit::ShellQuote(m_dir.File("report"));
    }

    testkit::TempDir m_dir;
    testkit::TempDir m_bin;
    testkit::ScopedProgramFolder m_folder{m_bin.Path()};
};

TEST_F(ProbeFakeTest, AReportWrittenInPiecesIsReadWhole) {
    const std::string args = m_dir.File("args");
    Fake(testkit::RecordArgumentsBody(args, "head -c 70 " + ReportFile() +
                                                "\nsleep 0.3\ntail -c +71 " + ReportFile() +
                                                "\nexit 1\n"));
    const std::string path = m_dir.File("a \"b\" c\\.avi");
    FileMediaFormat record;
    EXPECT_EQ(ProbeWithEncoder(record, path), kResultOk);
    EXPECT_EQ(testkit::ReadRecordedArguments(args),
              (std::vector<std::string>{"tmk52hsRW&!", "-i", path}));
    EXPECT_EQ(record.m_nDuration, 12);
    EXPECT_EQ(record.m_strDuration, "00:00:12.40 (12 s)");
    EXPECT_EQ(record.m_strBitrate, "512 kb/s");
    EXPECT_EQ(record.m_strVideo, " mpeg4, yuv420p, 320x240, 25 tbr");
    EXPECT_EQ(record.m_strAudio, " mp3, 44100 Hz, stereo");
    EXPECT_EQ(record.m_strTitle, "a \"b\" c\\");
    EXPECT_EQ(record.m_strExt, "avi");
    EXPECT_EQ(record.m_nEnd, 12);
    EXPECT_TRUE(testkit::NoChildren());
}

TEST_F(ProbeFakeTest, ASilentEncoderIsGivenUpAndEnded) {
    // The encoder would stay silent for ten minutes: the probe returns only by giving it up.
    const std::string pidFile = m_dir.File("pid");
    Fake("echo $$ > " + testkit::ShellQuote(pidFile) + "\nsleep 600\n");
    FileMediaFormat record;
    EXPECT_EQ(RunEncoderProbe(record, m_dir.File("clip.avi"), 300), kResultFail);
    EXPECT_EQ(record.m_strTitle, "clip") << "the record is filled all the same";
    const pid_t pid = static_cast<pid_t>(std::atoi(testkit::ReadFile(pidFile).c_str()));
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(testkit::WaitUntil([pid] { return !testkit::IsAlive(pid); }));
    EXPECT_TRUE(testkit::NoChildren());
}

TEST(ProbeSilenceLimit, IsTwentySecondsUnlessTheEnvironmentSetsAWholeNumber) {
    testkit::ScopedEnv limit("LUMICAST_PROBE_SILENCE_MS", std::nullopt);
    EXPECT_EQ(ProbeSilenceTimeoutMs(), 20000);
    limit.Set("2000");
    EXPECT_EQ(ProbeSilenceTimeoutMs(), 2000);
    for (const char* refused : {"", "0", "-5", "2 s", "1.5", "99999999999", "86400001"}) {
        limit.Set(refused);
        EXPECT_EQ(ProbeSilenceTimeoutMs(), 20000) << refused;
    }
}

TEST_F(ProbeFakeTest, AnEncoderThatTalksOnIsCutAfter2047Bytes) {
    // The report, a flood of text, and then ten minutes of silence: the probe stops reading at
    // 2,047 bytes (one that read on would give the encoder up as silent after 30 s).
    Fake("cat " + ReportFile() + "\nhead -c 100000 /dev/zero | tr '\\0' 'x'\nsleep 600\n");
    FileMediaFormat record;
    EXPECT_EQ(RunEncoderProbe(record, m_dir.File("clip.avi"), 30000), kResultOk);
    EXPECT_EQ(record.m_nDuration, 12);
    EXPECT_TRUE(testkit::NoChildren());
}

TEST_F(ProbeFakeTest, NoEncoderOrNoCommandLineMeansNoDuration) {
    const std::string ran = m_dir.File("ran");
    Fake("touch " + testkit::ShellQuote(ran) + "\ncat " + ReportFile() + "\n");
    const std::size_t base = FormatProbeCommand("").size();
    const std::string tooLong = "/" + std::string(kMaxEncoderCommandLine - base, 'a') + ".avi";
    FileMediaFormat record;
    EXPECT_EQ(ProbeWithEncoder(record, tooLong), kResultNoDuration);
    EXPECT_FALSE(fs::exists(ran)) << "a command line past 2,047 characters is never started";
    EXPECT_EQ(record.m_strExt, "avi");

    fs::remove(m_bin.File("Kestrelvx"));
    const testkit::ScopedEnv path("PATH", m_bin.Path());
    FileMediaFormat missing;
    EXPECT_EQ(ProbeWithEncoder(missing, "/v/clip.avi"), kResultNoDuration);
    EXPECT_EQ(missing.m_nDuration, 0);
    EXPECT_EQ(missing.m_strTitle, "clip");
    EXPECT_TRUE(testkit::NoChildren());
}

// The real encoder, found beside this test program.
class ProbeRealTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(testkit::BinDir() + "/Kestrelvx")) {
            GTEST_SKIP() << "Kestrelvx is not built";
        }
    }
    std::string Clip(const std::string& name, double seconds, int width, int height) {
        const std::string path = m_dir.File(name);
        EXPECT_TRUE(testkit::MakeClip(path, seconds, width, height, true)) << name;
        return path;
    }

    testkit::TempDir m_dir;
};

TEST_F(ProbeRealTest, VideoWithSound) {
    const std::string clip = Clip("with sound.mp4", 2, 160, 120);
    FileMediaFormat record;
    EXPECT_EQ(ProbeWithEncoder(record, clip), kResultOk);
    EXPECT_EQ(record.m_nDuration, 2);
    EXPECT_EQ(record.m_strDuration.substr(0, 8), "00:00:02");
    EXPECT_NE(record.m_strVideo.find("160x120"), std::string::npos) << record.m_strVideo;
    EXPECT_NE(record.m_strAudio.find("44100 Hz"), std::string::npos) << record.m_strAudio;
    EXPECT_NE(record.m_strBitrate.find(" kb/s"), std::string::npos);
    EXPECT_EQ(record.m_strTitle, "with sound");
    EXPECT_EQ(record.m_strExt, "mp4");
    EXPECT_EQ(record.m_nEnd, 2);
}

TEST_F(ProbeRealTest, SoundOnly) {
    const std::string clip = Clip("tone.wav", 3, 0, 0);
    FileMediaFormat record;
    EXPECT_EQ(ProbeWithEncoder(record, clip), kResultOk);
    EXPECT_EQ(record.m_nDuration, 3);
    EXPECT_EQ(record.m_strVideo, "");
    EXPECT_NE(record.m_strAudio.find("44100 Hz"), std::string::npos) << record.m_strAudio;
}

TEST_F(ProbeRealTest, UnderOneSecondCountsItsStartedSecondNotMediaFails) {
    // The record holds whole seconds: a clip of half a second is one started second, and the
    // encoder converts an end at its last whole second to the end of the file.
    const std::string shortClip = Clip("short.mp4", 0.5, 64, 48);
    FileMediaFormat shortRecord;
    EXPECT_EQ(ProbeWithEncoder(shortRecord, shortClip), 0);
    EXPECT_EQ(shortRecord.m_nDuration, 1);
    EXPECT_EQ(shortRecord.m_nEnd, 1);

    const std::string text = m_dir.File("notes.avi");
    std::ofstream(text) << "this is not a media file\n";
    FileMediaFormat textRecord;
    EXPECT_LT(ProbeWithEncoder(textRecord, text), 0);

    FileMediaFormat missingRecord;
    EXPECT_LT(ProbeWithEncoder(missingRecord, m_dir.File("missing.avi")), 0);
    EXPECT_TRUE(testkit::NoChildren());
}

} // namespace

namespace {

// Each way a probe fails names its cause; the record still gets its path fields.
TEST_F(ProbeFakeTest, FailuresNameTheirCause) {
    const std::string source = m_dir.File("clip.avi");
    std::ofstream(source) << "source";
    const std::string encoder = m_bin.File("Kestrelvx");
    struct Case {
        const char* name;
        std::string body; // "" leaves no encoder
        bool bExecutable;
        std::string path;
        std::string cause;
    };
    const std::vector<Case> cases = {
        {"crash", "printf 'Input #0, avi\\n'; kill -SEGV $$", true, source,
         "The encoder crashed (signal 11)."},
        {"missing", "", true, source,
         "The encoder could not be found: Kestrelvx is neither beside the program (" +
             m_bin.Path() + ") nor in PATH."},
        {"not executable", "exit 0", false, source, "The encoder is not executable: " + encoder},
        {"source gone", "exit 1", true, m_dir.File("gone.avi"),
         "The source is gone: " + m_dir.File("gone.avi")},
        {"silent", "sleep 600", true, source,
         "The encoder printed nothing for 1 s and was ended: " + source},
        {"the encoder's own cause", "echo 'Kestrelvx: error: not a media file'; exit 1", true,
         source, "not a media file"},
        {"a length of zero", "echo '  Duration: 00:00:00.00, start: 0.000000'; exit 1", true,
         source, "the file lasts no time at all"},
        {"no report", "exit 1", true, source, "the encoder gave no report on the file"},
    };
    const testkit::ScopedEnv path("PATH", "/usr/bin:/bin");
    for (const Case& fault : cases) {
        SCOPED_TRACE(fault.name);
        fs::remove(encoder);
        if (!fault.body.empty()) {
            Fake(fault.body);
            fs::permissions(encoder, fault.bExecutable ? fs::perms(0755) : fs::perms(0644));
        }
        FileMediaFormat record;
        std::string cause = "unset";
        // Only the silent encoder meets its limit: the others are given all the time they need.
        const int limitMs = fault.body == "sleep 600" ? 1000 : testkit::kPatientMs;
        EXPECT_TRUE(Failed(RunEncoderProbe(record, fault.path, limitMs, &cause)));
        EXPECT_EQ(cause, fault.cause);
        EXPECT_EQ(record.m_strPath, fault.path);
        EXPECT_TRUE(testkit::NoChildren());
    }
}

} // namespace

// The loading pass over a recording host, with a scripted encoder that fails for some files.
#include "probe/load_sources.h"

#include "common/fake_encoder.h"
#include "common/testkit.h"
#include "lang/resource_strings.h"
#include "sources/source_record.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// Reports a 95-second clip for every input except those whose path holds "bad", for which it
// prints an error and no duration.
const char kEncoderScript[] =
    "case \"$3\" in\n"
    "  *bad*) echo \"$3: Invalid data found when processing input\"; exit 1 ;;\n"
    "esac\n"
    "printf 'Input #0, avi, from x:\\n"
    "  Duration: 00:01:35.00, start: 0.000000, bitrate: 1014 kb/s\\n"
    "    Stream #0.0: Video: mpeg4, yuv420p, 640x480, 25.00 tb(r)\\n"
    "    Stream #0.1: Audio: mp3, 44100 Hz, stereo, 128 kb/s\\n"
    "At least one output file must be specified\\n'\n"
    "exit 1\n";

struct AddedSource {
    int nRow;
    int nIndex;
    FileMediaFormat record;
};

// A host as the dialog would be: every call is served one at a time, whatever thread makes it.
class RecordingHost : public ILoadHost {
public:
    explicit RecordingHost(int nRows, int nNextIndex, std::string strFolder)
        : m_nRows(nRows), m_nNextIndex(nNextIndex), m_strFolder(std::move(strFolder)) {}

    int RowCount() override {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_nRows;
    }
    void SetProgressText(const std::string& strText) override {
        const std::lock_guard<std::mutex> lock(m_mutex);
        texts.push_back(strText);
    }
    void SetProgress(int nPercent) override {
        const std::lock_guard<std::mutex> lock(m_mutex);
        progress.push_back(nPercent);
    }
    LoadTarget OutputTarget() override {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return LoadTarget{m_strFolder, "mp4"};
    }
    int AddSource(std::unique_ptr<FileMediaFormat> pRecord, int nRow) override {
        const std::lock_guard<std::mutex> lock(m_mutex);
        EXPECT_FALSE(bClosed);
        added.push_back(AddedSource{nRow, m_nNextIndex, *pRecord});
        ++m_nRows;
        return m_nNextIndex++;
    }
    void ShowFailures(const std::string& strMessage) override {
        const std::lock_guard<std::mutex> lock(m_mutex);
        messages.push_back(strMessage);
    }
    void Close() override {
        const std::lock_guard<std::mutex> lock(m_mutex);
        EXPECT_FALSE(bClosed) << "the close request comes once";
        bClosed = true;
    }

    std::vector<std::string> texts;
    std::vector<int> progress;
    std::vector<AddedSource> added;
    std::vector<std::string> messages;
    bool bClosed = false;

private:
    std::mutex m_mutex;
    int m_nRows;
    int m_nNextIndex;
    std::string m_strFolder;
};

class LoadSourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(testkit::WriteFakeEncoder(m_encoderDir.Path(), kEncoderScript).empty());
        m_folder = std::make_unique<testkit::ScopedProgramFolder>(m_encoderDir.Path());
    }

    // Runs the pass on a worker thread, as the dialog does.
    int RunPass(RecordingHost& host, const std::vector<std::string>& paths) {
        int nFailed = -1;
        std::thread worker([&] { nFailed = LoadSourcesThread(host, paths); });
        worker.join();
        return nFailed;
    }

    testkit::TempDir m_encoderDir;
    testkit::TempDir m_outputDir;
    std::unique_ptr<testkit::ScopedProgramFolder> m_folder;
};

TEST_F(LoadSourcesTest, SecondAndFourthFailAndAreNamedInOneMessage) {
    RecordingHost host(0, 0, m_outputDir.Path());
    const std::vector<std::string> paths = {"/media/one.avi", "/media/bad two.avi",
                                            "/media/three.mov", "/media/bad four.mpg"};
    EXPECT_EQ(RunPass(host, paths), 2);

    EXPECT_EQ(host.progress, (std::vector<int>{25, 50, 75, 100}));
    ASSERT_EQ(host.texts.size(), 4U);
    EXPECT_EQ(host.texts[1], "Detecting selected files.\nNo.2/4: \"/media/bad two.avi\"");

    ASSERT_EQ(host.added.size(), 2U);
    EXPECT_EQ(host.added[0].record.m_strPath, "/media/one.avi");
    EXPECT_EQ(host.added[0].nRow, 0);
    EXPECT_EQ(host.added[1].record.m_strPath, "/media/three.mov");
    EXPECT_EQ(host.added[1].nRow, 1);

    ASSERT_EQ(host.messages.size(), 1U);
    EXPECT_EQ(host.messages[0], LoadFailureMessage("\n/media/bad two.avi\n/media/bad four.mpg"));
    EXPECT_EQ(host.messages[0].rfind("Can't playback the following files.\r\n\n/media/bad two.avi"
                                     "\n/media/bad four.mpg\r\n\r\nPlease note the following "
                                     "reasons:\n1. This file",
                                     0),
              0U);
    EXPECT_TRUE(host.bClosed);
}

TEST_F(LoadSourcesTest, OneGoodFileFillsTheRecordAndShowsNoMessage) {
    RecordingHost host(0, 0, m_outputDir.Path());
    EXPECT_EQ(RunPass(host, {"/media/clip.avi"}), 0);
    EXPECT_EQ(host.progress, (std::vector<int>{100}));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.bClosed);
    ASSERT_EQ(host.added.size(), 1U);
    const FileMediaFormat& record = host.added[0].record;
    EXPECT_EQ(record.m_nDuration, 95);
    EXPECT_EQ(record.m_nStart, 0);
    EXPECT_EQ(record.m_nEnd, 95);
    EXPECT_EQ(record.m_nStatus, kStatusReady);
    // The output name is chosen in the host's folder with the target's extension.
    EXPECT_EQ(record.m_strTargetFolder, m_outputDir.Path() + "/");
    EXPECT_EQ(record.GetTargetFileName(), "clip-cvt.mp4");
}

TEST_F(LoadSourcesTest, NewRowsFollowTheRowsAlreadyThereAndTheSamePathTwiceGivesTwoRows) {
    // Three rows, and an array whose next free index is 5 after removals.
    RecordingHost host(3, 5, m_outputDir.Path());
    EXPECT_EQ(RunPass(host, {"/media/clip.avi", "/media/clip.avi"}), 0);
    ASSERT_EQ(host.added.size(), 2U);
    EXPECT_EQ(host.added[0].nRow, 3);
    EXPECT_EQ(host.added[0].nIndex, 5);
    EXPECT_EQ(host.added[1].nRow, 4);
    EXPECT_EQ(host.added[1].nIndex, 6);
    // No file was written in between, so both get the same free name.
    EXPECT_EQ(host.added[0].record.GetTargetFileName(), "clip-cvt.mp4");
    EXPECT_EQ(host.added[1].record.GetTargetFileName(), "clip-cvt.mp4");
}

TEST_F(LoadSourcesTest, AnExistingOutputFileMovesTheNameOn) {
    ASSERT_EQ(testkit::Shell("touch " + testkit::ShellQuote(m_outputDir.File("clip-cvt.mp4"))), 0);
    RecordingHost host(0, 0, m_outputDir.Path() + "/");
    RunPass(host, {"/media/clip.avi"});
    ASSERT_EQ(host.added.size(), 1U);
    EXPECT_EQ(host.added[0].record.GetTargetFileName(), "clip-cvt[1].mp4");
}

TEST_F(LoadSourcesTest, EveryFileFailingStillClosesAfterOneMessage) {
    RecordingHost host(0, 0, m_outputDir.Path());
    // A path that would read as a format if it were used as one.
    EXPECT_EQ(RunPass(host, {"/media/bad %s %n.avi", "/media/bad.avi"}), 2);
    EXPECT_TRUE(host.added.empty());
    ASSERT_EQ(host.messages.size(), 1U);
    EXPECT_NE(host.messages[0].find("\n/media/bad %s %n.avi\n/media/bad.avi\r\n"),
              std::string::npos);
    EXPECT_TRUE(host.bClosed);
}

TEST(LoadFailureMessageTest, IsTheTwoStringsAroundTheFailedPaths) {
    EXPECT_EQ(LoadFailureMessage("\n/a"),
              LoadResString(61205) + "\r\n\n/a\r\n\r\n" + LoadResString(61222));
}

} // namespace

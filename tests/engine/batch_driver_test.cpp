// The batch driver on its worker thread, with a host that serves it directly and a scripted
// encoder. The test thread plays the dialog: it presses Skip and Cancel All through the flags.
#include "engine/batch_driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/fake_encoder.h"
#include "common/records.h"
#include "common/testkit.h"
#include "engine/batch_host.h"
#include "engine/encoder_job.h"
#include "profiles/conversion_settings.h"
#include "sources/source_record.h"

namespace {

std::unique_ptr<FileMediaFormat> MakeRecord(const std::string& strPath, int nStart, int nEnd) {
    auto pRecord = testkit::MakeRecord(strPath, nStart, nEnd);
    pRecord->m_nStatus = kStatusWaiting;
    return pRecord;
}

// A host that serves the driver on the worker thread itself.
class FakeHost final : public IBatchHost {
public:
    explicit FakeHost(CEncoderJob& job) { m_batch.m_pJob = &job; }

    BatchState& Batch() override { return m_batch; }
    const profiles::ConversionSettings& Settings() override { return m_settings; }
    int RowCount() override { return static_cast<int>(m_rows.size()); }
    FileMediaFormat* RecordAtRow(int nRow) override {
        if (nRow < 0 || nRow >= RowCount()) {
            return nullptr;
        }
        return m_records[static_cast<std::size_t>(m_rows[static_cast<std::size_t>(nRow)])].get();
    }
    void FillRow(int nRow) override {
        const FileMediaFormat* pRecord = RecordAtRow(nRow);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_fills.push_back(std::to_string(nRow) + ":" + std::to_string(pRecord->m_nStatus) + ":" +
                          pRecord->GetTargetFileName());
    }
    void ShowFailureMessage(const std::string& strText) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messages.push_back(strText);
    }
    void BatchEnded(bool bFinished) override {
        // The event is signalled before the host hears of the end.
        m_bEventWasSet = m_batch.m_evDone.TryWait();
        m_nEnded++;
        m_bFinished = bFinished;
    }

    // Rows in list order, each naming a record by its index.
    void Add(std::unique_ptr<FileMediaFormat> pRecord) {
        m_rows.push_back(static_cast<int>(m_records.size()));
        m_records.push_back(std::move(pRecord));
    }
    FileMediaFormat& Record(int nRow) { return *RecordAtRow(nRow); }

    BatchState m_batch;
    profiles::ConversionSettings m_settings;
    std::vector<std::unique_ptr<FileMediaFormat>> m_records;
    std::vector<int> m_rows;
    std::mutex m_mutex;
    std::vector<std::string> m_fills;
    std::vector<std::string> m_messages;
    std::atomic<int> m_nEnded{0};
    std::atomic<bool> m_bFinished{false};
    std::atomic<bool> m_bEventWasSet{false};
};

class BatchDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_bin.Path().empty());
        ASSERT_FALSE(testkit::WriteFakeEncoder(
                         m_bin.Path(), testkit::ScriptedEncoderBody(Log(), m_bin.File("release")))
                         .empty());
        m_host.m_settings.m_nFormat = 0;
        m_host.m_settings.m_strOutputFolder = Out();
    }

    std::string Log() const { return m_bin.File("calls.log"); }
    std::string Out() const { return m_work.File("out/sub/"); }
    std::vector<std::string> Calls() const { return testkit::ReadLines(Log()); }
    int CallCount() const { return static_cast<int>(Calls().size()); }

    void Start() {
        m_worker = std::thread([this] { ConvertSourcesThread(&m_host); });
    }
    void Join() {
        if (m_worker.joinable()) {
            m_worker.join();
        }
    }
    void TearDown() override {
        m_host.m_batch.m_bCancelAll = true;
        m_job.m_bCancel = true;
        Join();
    }

    // Waits until the encoder for the row runs (the job has cleared its cancel flag by then).
    bool WaitForRunningRow(int nRow) {
        return testkit::WaitUntil(
            [&] { return m_host.m_batch.m_nCurrent == nRow && CallCount() == nRow + 1; });
    }

    // What the dialog's buttons do to the shared words.
    void PressSkip() {
        m_host.m_batch.m_bSkip = true;
        m_job.m_bCancel = true;
    }
    void PressCancelAll() {
        m_host.m_batch.m_bCancelAll = true;
        PressSkip();
    }

    void RunToEnd() {
        Start();
        Join();
    }

    testkit::TempDir m_bin;
    testkit::TempDir m_work;
    testkit::ScopedProgramFolder m_folder{m_bin.Path()};
    CEncoderJob m_job;
    FakeHost m_host{m_job};
    std::thread m_worker;
};

const char* const kUnknownFormat =
    "Unknown file format . Please ensure your computer can playback the file normally.";
const char* const kReasons =
    "Please note the following reasons:\n1. This file is not an available media file or doesn't "
    "include audio data.\n2. You haven't installed Windows Media Player 9.0 or later.\n3. You "
    "need install Real Player when converting RM/RMVB/RAM.\n4. You need install QuickTime when "
    "converting QT/MOV.\n5. You need install other third-party codec.\n\nPlease click menu "
    "\"Download\" to get more.";

TEST_F(BatchDriverTest, ConvertsEveryRowIntoTheOutputFolder) {
    m_host.Add(MakeRecord("/videos/a.avi", 0, 4));
    m_host.Add(MakeRecord("/videos/b.mkv", 2, 7));
    m_host.Add(MakeRecord("/videos/my.holiday.avi", 0, 9));
    RunToEnd();

    ASSERT_EQ(Calls(), (std::vector<std::string>{
                           "/videos/a.avi|0|4|" + Out() + "a-cvt.mp4",
                           "/videos/b.mkv|2|5|" + Out() + "b-cvt.mp4",
                           "/videos/my.holiday.avi|0|9|" + Out() + "my.holiday-cvt.mp4",
                       }));
    for (int nRow = 0; nRow < 3; ++nRow) {
        EXPECT_EQ(m_host.Record(nRow).m_nStatus, kStatusDone);
        EXPECT_EQ(m_host.Record(nRow).m_bConverted, 1);
        EXPECT_EQ(m_host.Record(nRow).m_strTargetFolder, Out());
    }
    // Each row is filled with its new name before the run and with its outcome after it.
    EXPECT_EQ(m_host.m_fills,
              (std::vector<std::string>{"0:1:a-cvt.mp4", "0:4:a-cvt.mp4", "1:1:b-cvt.mp4",
                                        "1:4:b-cvt.mp4", "2:1:my.holiday-cvt.mp4",
                                        "2:4:my.holiday-cvt.mp4"}));
    EXPECT_TRUE(m_host.m_messages.empty());
    EXPECT_EQ(m_host.m_nEnded, 1);
    EXPECT_TRUE(m_host.m_bFinished);
    EXPECT_TRUE(m_host.m_bEventWasSet);
    EXPECT_TRUE(m_host.m_batch.m_bFinished);
    EXPECT_EQ(m_host.m_batch.m_nCount, 3);
    EXPECT_EQ(m_host.m_batch.m_nCurrent, 2);
    EXPECT_EQ(m_job.m_nPercent, 100);
    std::lock_guard<std::mutex> lock(m_host.m_batch.m_mxUpdate);
    EXPECT_EQ(m_host.m_batch.m_strTargetPath, Out() + "my.holiday-cvt.mp4");
    EXPECT_EQ(m_host.m_batch.m_strTarget, m_host.m_batch.m_strTargetPath);
    EXPECT_EQ(m_host.m_batch.m_strSource, "/videos/my.holiday.avi");
    EXPECT_EQ(m_host.m_batch.m_strStep,
              "Step 3/3: From \"/videos/my.holiday.avi\" \n          to \"" + Out() +
                  "my.holiday-cvt.mp4\" \n          Click \"Skip\" or \"Cancel\" to abort "
                  "conversion.");
}

TEST_F(BatchDriverTest, RowsGoInListOrderNotRecordOrder) {
    m_host.Add(MakeRecord("/v/first.avi", 0, 1));
    m_host.Add(MakeRecord("/v/second.avi", 0, 1));
    m_host.Add(MakeRecord("/v/third.avi", 0, 1));
    m_host.m_rows = {2, 0, 1};
    RunToEnd();
    const std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 3U);
    EXPECT_EQ(calls[0].substr(0, 13), "/v/third.avi|");
    EXPECT_EQ(calls[1].substr(0, 13), "/v/first.avi|");
    EXPECT_EQ(calls[2].substr(0, 14), "/v/second.avi|");
}

TEST_F(BatchDriverTest, SameSourceTwiceGetsANumberedSecondName) {
    m_host.Add(MakeRecord("/v/clip.avi", 0, 1));
    m_host.Add(MakeRecord("/v/clip.avi", 0, 1));
    RunToEnd();
    EXPECT_EQ(m_host.Record(0).m_strTargetName, "clip-cvt");
    EXPECT_EQ(m_host.Record(1).m_strTargetName, "clip-cvt[1]");
    EXPECT_TRUE(std::filesystem::exists(Out() + "clip-cvt.mp4"));
    EXPECT_TRUE(std::filesystem::exists(Out() + "clip-cvt[1].mp4"));
}

TEST_F(BatchDriverTest, FailedSourcesAreErrorsListedInOneMessage) {
    m_host.Add(MakeRecord("/v/one.avi", 0, 3));
    m_host.Add(MakeRecord("/v/empty.avi", 5, 5)); // empty segment: no encoder run
    m_host.Add(MakeRecord("/v/fail.avi", 0, 3));  // the encoder fails
    m_host.Add(MakeRecord("/v/four.avi", 0, 3));
    RunToEnd();

    EXPECT_EQ(m_host.Record(0).m_nStatus, kStatusDone);
    EXPECT_EQ(m_host.Record(1).m_nStatus, kStatusError);
    EXPECT_EQ(m_host.Record(2).m_nStatus, kStatusError);
    EXPECT_EQ(m_host.Record(3).m_nStatus, kStatusDone);
    EXPECT_EQ(m_host.Record(1).m_bConverted, 0);
    EXPECT_EQ(m_host.Record(2).m_bConverted, 0);
    EXPECT_EQ(CallCount(), 3);
    ASSERT_EQ(m_host.m_messages.size(), 1U);
    EXPECT_EQ(m_host.m_messages[0], std::string(kUnknownFormat) + "\r\n" + "\n/v/empty.avi" +
                                        "\n/v/fail.avi" + "\r\n\r\n" + kReasons);
    EXPECT_TRUE(m_host.m_bFinished);
}

TEST_F(BatchDriverTest, FormatsWithoutAConversionPathFailEverySource) {
    for (int nFormat : {3, 4, 5, 9}) {
        SCOPED_TRACE(nFormat);
        FakeHost host(m_job);
        host.m_settings.m_nFormat = nFormat;
        host.m_settings.m_strOutputFolder = Out();
        host.Add(MakeRecord("/v/one.avi", 0, 3));
        host.Add(MakeRecord("/v/two.avi", 0, 3));
        std::thread worker([&host] { ConvertSourcesThread(&host); });
        worker.join();
        EXPECT_EQ(host.Record(0).m_nStatus, kStatusError);
        EXPECT_EQ(host.Record(1).m_nStatus, kStatusError);
        ASSERT_EQ(host.m_messages.size(), 1U);
        EXPECT_NE(host.m_messages[0].find("\r\n\n/v/one.avi\n/v/two.avi\r\n\r\n"),
                  std::string::npos);
    }
    EXPECT_EQ(CallCount(), 0);
}

TEST_F(BatchDriverTest, SkipEndsTheCurrentSourceAndGoesOn) {
    m_host.Add(MakeRecord("/v/one.avi", 0, 10));
    m_host.Add(MakeRecord("/v/slow.avi", 0, 10));
    m_host.Add(MakeRecord("/v/three.avi", 0, 10));
    Start();
    ASSERT_TRUE(WaitForRunningRow(1));
    PressSkip();
    Join();
    EXPECT_EQ(m_host.Record(0).m_nStatus, kStatusDone);
    EXPECT_EQ(m_host.Record(1).m_nStatus, kStatusSkip);
    EXPECT_EQ(m_host.Record(1).m_bConverted, 0);
    EXPECT_EQ(m_host.Record(2).m_nStatus, kStatusDone);
    EXPECT_EQ(CallCount(), 3);
    EXPECT_TRUE(m_host.m_messages.empty());
    EXPECT_TRUE(m_host.m_bFinished);
    EXPECT_FALSE(m_host.m_batch.m_bSkip); // cleared for the third source
}

TEST_F(BatchDriverTest, CancelAllStopsAfterTheCurrentSource) {
    m_host.Add(MakeRecord("/v/one.avi", 0, 10));
    m_host.Add(MakeRecord("/v/slow.avi", 0, 10));
    m_host.Add(MakeRecord("/v/three.avi", 0, 10));
    Start();
    ASSERT_TRUE(WaitForRunningRow(1));
    PressCancelAll();
    Join();
    EXPECT_EQ(m_host.Record(0).m_nStatus, kStatusDone);
    // The current and later rows are left for the dialog to mark.
    EXPECT_EQ(m_host.Record(1).m_nStatus, kStatusWaiting);
    EXPECT_EQ(m_host.Record(2).m_nStatus, kStatusWaiting);
    EXPECT_EQ(CallCount(), 2);
    EXPECT_EQ(m_host.m_fills.back(), "1:1:slow-cvt.mp4");
    EXPECT_EQ(m_host.m_nEnded, 1);
    EXPECT_FALSE(m_host.m_bFinished);
    EXPECT_FALSE(m_host.m_batch.m_bFinished);
    EXPECT_TRUE(m_host.m_bEventWasSet);
    EXPECT_TRUE(m_host.m_messages.empty());
}

TEST_F(BatchDriverTest, CancelAllStillReportsEarlierFailures) {
    m_host.Add(MakeRecord("/v/fail.avi", 0, 10));
    m_host.Add(MakeRecord("/v/slow.avi", 0, 10));
    m_host.Add(MakeRecord("/v/three.avi", 0, 10));
    Start();
    ASSERT_TRUE(WaitForRunningRow(1));
    PressCancelAll();
    Join();
    EXPECT_EQ(m_host.Record(0).m_nStatus, kStatusError);
    ASSERT_EQ(m_host.m_messages.size(), 1U);
    EXPECT_NE(m_host.m_messages[0].find("\r\n\n/v/fail.avi\r\n\r\n"), std::string::npos);
    EXPECT_FALSE(m_host.m_bFinished);
}

TEST_F(BatchDriverTest, CancelAllBeforeTheFirstSourceRunsNothing) {
    m_host.Add(MakeRecord("/v/one.avi", 0, 10));
    m_host.m_batch.m_bCancelAll = true;
    RunToEnd();
    EXPECT_EQ(CallCount(), 0);
    EXPECT_EQ(m_host.m_batch.m_nCount, 1);
    EXPECT_EQ(m_host.m_batch.m_nCurrent, -1);
    EXPECT_TRUE(m_host.m_fills.empty());
    EXPECT_EQ(m_host.m_nEnded, 1);
    EXPECT_FALSE(m_host.m_bFinished);
}

TEST_F(BatchDriverTest, EmptyListEndsAtOnceWithoutTouchingTheFolder) {
    RunToEnd();
    EXPECT_EQ(m_host.m_nEnded, 1);
    EXPECT_TRUE(m_host.m_bFinished);
    EXPECT_EQ(m_host.m_batch.m_nCount, 0);
    EXPECT_FALSE(std::filesystem::exists(Out()));
}

TEST_F(BatchDriverTest, OutputFolderWithoutFinalSlashIsCreated) {
    m_host.m_settings.m_strOutputFolder = m_work.File("plain");
    m_host.Add(MakeRecord("/v/one.avi", 0, 1));
    RunToEnd();
    EXPECT_EQ(m_host.Record(0).m_nStatus, kStatusDone);
    EXPECT_TRUE(std::filesystem::is_regular_file(m_work.File("plain/one-cvt.mp4")));
}

} // namespace

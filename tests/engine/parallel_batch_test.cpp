// The side-by-side batch in this process (so the thread checkers see it): every waiting row is
// converted once by one of the slots, names are claimed in list order before the encoders start,
// rows that are not waiting are left alone, and Cancel All ends the running encoders.
#include "engine/parallel_batch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/fake_encoder.h"
#include "common/testkit.h"
#include "engine/batch_host.h"
#include "profiles/conversion_settings.h"
#include "sources/source_record.h"

namespace {

class Rows final : public IBatchList, public IParallelBatchHost {
public:
    int RowCount() override { return static_cast<int>(m_records.size()); }
    FileMediaFormat* RecordAtRow(int nRow) override {
        return nRow >= 0 && nRow < RowCount() ? m_records[static_cast<std::size_t>(nRow)].get()
                                              : nullptr;
    }
    void FillRow(int) override {}

    void SourceNaming(int nRow, const std::string& strPath) override {
        std::lock_guard<std::mutex> lock(m_mx);
        m_events.push_back("name " + std::to_string(nRow) + " " + strPath);
    }
    void SourceBegan(int nRow, int nSlot) override {
        std::lock_guard<std::mutex> lock(m_mx);
        m_events.push_back("began " + std::to_string(nRow));
        m_slots.insert(nSlot);
    }
    void SourceEnded(int nRow, int, const std::string&) override {
        std::lock_guard<std::mutex> lock(m_mx);
        m_events.push_back("ended " + std::to_string(nRow));
    }

    void Add(const std::string& strTitle, int nStatus) {
        auto pRecord = std::make_unique<FileMediaFormat>();
        pRecord->m_strPath = "/in/" + strTitle + ".avi";
        pRecord->m_strTitle = strTitle;
        pRecord->m_nEnd = 4;
        pRecord->m_nStatus = nStatus;
        m_records.push_back(std::move(pRecord));
    }

    std::vector<std::unique_ptr<FileMediaFormat>> m_records;
    std::mutex m_mx;
    std::vector<std::string> m_events;
    std::set<int> m_slots;
};

// Writes what it converts, after a few status lines; "hang" waits until it is ended.
constexpr char kEncoder[] = R"SH(for a in "$@"; do out=$a; done
case "$out" in *hang*)
  # Two status lines more than half a second apart, so the progress is read; then nothing.
  printf 'frame=1 time=1.00 bitrate=1\n'
  sleep 0.6
  printf 'frame=2 time=2.00 bitrate=1\r'
  sleep 600 ;;
esac
i=0
while [ $i -lt 3 ]; do
  printf 'frame=%d time=%d.00 bitrate=1\r' $i $i
  sleep 0.05
  i=$((i + 1))
done
echo "$out" > "$out"
exit 0
)SH";

class ParallelBatchDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(testkit::WriteFakeEncoder(m_bin.Path(), kEncoder).empty());
        m_settings.m_strOutputFolder = m_out.Path() + "/";
    }

    testkit::TempDir m_bin;
    testkit::TempDir m_out;
    testkit::ScopedProgramFolder m_folder{m_bin.Path()};
    profiles::ConversionSettings m_settings;
    Rows m_rows;
};

TEST_F(ParallelBatchDriverTest, EveryWaitingRowOnceNamesInListOrder) {
    for (const char* title : {"clip", "clip", "other", "clip"}) {
        m_rows.Add(title, kStatusWaiting);
    }
    m_rows.Add("done before", kStatusDone);
    ParallelBatchState state(3);
    RunParallelBatch(m_rows, m_settings, state, m_rows);

    std::vector<std::string> names;
    std::set<std::string> targets;
    for (int nRow = 0; nRow < 4; ++nRow) {
        const FileMediaFormat& record = *m_rows.RecordAtRow(nRow);
        EXPECT_EQ(record.m_nStatus, kStatusDone) << nRow;
        EXPECT_EQ(testkit::ReadFile(record.GetTargetPath()), record.GetTargetPath() + "\n");
        targets.insert(record.GetTargetPath());
    }
    EXPECT_EQ(targets.size(), 4U);
    EXPECT_EQ(m_rows.RecordAtRow(4)->m_nStatus, kStatusDone);
    EXPECT_TRUE(m_rows.RecordAtRow(4)->m_strTargetName.empty()); // never taken
    for (const std::string& event : m_rows.m_events) {
        if (event.rfind("name ", 0) == 0) {
            names.push_back(event);
        }
    }
    const std::string out = m_out.Path() + "/";
    EXPECT_EQ(names, (std::vector<std::string>{
                         "name 0 " + out + "clip-cvt.mp4", "name 1 " + out + "clip-cvt[1].mp4",
                         "name 2 " + out + "other-cvt.mp4", "name 3 " + out + "clip-cvt[2].mp4"}));
    EXPECT_GE(m_rows.m_slots.size(), 2U);
}

TEST_F(ParallelBatchDriverTest, CancelAllEndsTheRunningEncodersAndStartsNoOther) {
    for (const char* title : {"hang one", "hang two", "later"}) {
        m_rows.Add(title, kStatusWaiting);
    }
    ParallelBatchState state(2);
    std::thread batch([&] { RunParallelBatch(m_rows, m_settings, state, m_rows); });
    // Once both encoders run, Cancel All (again and again, as the console host does).
    bool bBothRan = false;
    bool bEndedEarly = false;
    for (int nPolls = 0; nPolls < 6000 && !bBothRan && !bEndedEarly; ++nPolls) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        bBothRan = state.m_slots[0]->job.m_nPercent > 0 && state.m_slots[1]->job.m_nPercent > 0;
        std::lock_guard<std::mutex> lock(m_rows.m_mx);
        bEndedEarly = std::any_of(m_rows.m_events.begin(), m_rows.m_events.end(),
                                  [](const std::string& e) { return e.rfind("ended", 0) == 0; });
    }
    for (int i = 0; i < 3; ++i) {
        state.CancelAll();
    }
    batch.join();
    ASSERT_TRUE(bBothRan);
    ASSERT_FALSE(bEndedEarly);
    EXPECT_EQ(m_rows.RecordAtRow(0)->m_nStatus, kStatusSkip);
    EXPECT_EQ(m_rows.RecordAtRow(1)->m_nStatus, kStatusSkip);
    EXPECT_EQ(m_rows.RecordAtRow(2)->m_nStatus, kStatusWaiting); // never started
    // No part of an output is left under its name.
    EXPECT_TRUE(std::filesystem::is_empty(m_out.Path()));
}

} // namespace

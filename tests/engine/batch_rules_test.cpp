#include "engine/batch_rules.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/encoder_job.h"
#include "sources/source_record.h"

namespace {

struct TestList final : IBatchList {
    std::vector<FileMediaFormat> records;
    std::vector<int> filled;
    explicit TestList(std::vector<std::int32_t> statuses) {
        for (const std::int32_t nStatus : statuses) {
            records.emplace_back();
            records.back().m_nStatus = nStatus;
        }
    }
    int RowCount() override { return static_cast<int>(records.size()); }
    FileMediaFormat* RecordAtRow(int nRow) override {
        return nRow >= 0 && nRow < RowCount() ? &records[static_cast<std::size_t>(nRow)] : nullptr;
    }
    void FillRow(int nRow) override { filled.push_back(nRow); }
    std::vector<std::int32_t> Statuses() const {
        std::vector<std::int32_t> out;
        for (const FileMediaFormat& r : records) {
            out.push_back(r.m_nStatus);
        }
        return out;
    }
};

TEST(BatchRules, CancelMarksTheUnconvertedRowsAndKeepsSettledOutcomes) {
    // Cancelled while the second source ran: the first keeps Done, the second and third are
    // skipped, and the job was told to stop.
    TestList list({kStatusDone, kStatusWaiting, kStatusWaiting});
    CEncoderJob job;
    BatchState batch;
    batch.m_pJob = &job;
    batch.m_nCurrent = 1;
    CancelAllSources(batch);
    EXPECT_TRUE(batch.m_bCancelAll && batch.m_bSkip && job.m_bCancel);
    std::vector<int> marked;
    EXPECT_EQ(MarkUnconvertedRows(batch, list, [&](int nRow) { marked.push_back(nRow); }), 2);
    EXPECT_EQ(list.Statuses(), (std::vector<std::int32_t>{kStatusDone, kStatusSkip, kStatusSkip}));
    EXPECT_EQ(marked, (std::vector<int>{1, 2}));

    // The driver settled the current source just before it saw the cancel: that outcome stays.
    TestList settled({kStatusDone, kStatusError, kStatusWaiting});
    EXPECT_EQ(MarkUnconvertedRows(batch, settled, nullptr), 1);
    EXPECT_EQ(settled.Statuses(),
              (std::vector<std::int32_t>{kStatusDone, kStatusError, kStatusSkip}));

    // Cancelled before the driver began: every row is skipped.
    TestList early({kStatusWaiting, kStatusWaiting});
    const BatchState notStarted;
    EXPECT_EQ(MarkUnconvertedRows(notStarted, early, nullptr), 2);

    // Before a batch every row waits and is refreshed.
    TestList reset({kStatusDone, kStatusError});
    ResetRowsToWaiting(reset);
    EXPECT_EQ(reset.Statuses(), (std::vector<std::int32_t>{kStatusWaiting, kStatusWaiting}));
    EXPECT_EQ(reset.filled, (std::vector<int>{0, 1}));
}

TEST(BatchRules, OverallPercentCountsFinishedSourcesAndClampsTheCurrent) {
    EXPECT_EQ(OverallPercent(-1, 4, 50), 0); // not started
    EXPECT_EQ(OverallPercent(0, 0, 50), 0);  // empty batch
    EXPECT_EQ(OverallPercent(0, 4, 50), 12);
    EXPECT_EQ(OverallPercent(3, 4, 100), 100);
    EXPECT_EQ(OverallPercent(1, 3, 250), 66); // a percent past 100 counts as 100
    EXPECT_EQ(OverallPercent(1, 3, -5), 33);
}

} // namespace

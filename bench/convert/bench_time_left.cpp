// How close the time left comes to the time really left: converts the given clips with the real
// encoder through the side-by-side batch driver, as lumicast-batch does, notes the estimate every
// quarter second, and after the batch compares each estimate with the time that was really left.
//   bench_time_left OUTPUT_FOLDER JOBS FORMAT WIDTH HEIGHT CLIP...
// Prints when the estimate first showed, and the largest and the mean relative error from then on
// while more than five seconds were left (the time left is said as "a few seconds" below twenty).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/batch_host.h"
#include "engine/parallel_batch.h"
#include "engine/time_left.h"
#include "probe/load_host.h"
#include "probe/load_sources.h"
#include "profiles/catalogue.h"
#include "sources/record_array.h"
#include "sources/source_record.h"

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The list: filled by the loading pass, converted by the driver, timed by the estimate.
class BenchList final : public ILoadHost, public IBatchList, public IParallelBatchHost {
public:
    explicit BenchList(LoadTarget target) : m_target(std::move(target)) {}

    int RowCount() override { return static_cast<int>(m_rows.size()); }
    void SetProgressText(const std::string&) override {}
    void SetProgress(int) override {}
    LoadTarget OutputTarget() override { return m_target; }
    int AddSource(std::unique_ptr<FileMediaFormat> pRecord, int nRow) override {
        const int nIndex = m_records.Add(std::move(pRecord));
        m_rows.insert(m_rows.begin() + nRow, nIndex);
        return nIndex;
    }
    void ShowFailures(const std::string& strText) override {
        std::fprintf(stderr, "%s\n", strText.c_str());
    }
    void Close() override {}

    FileMediaFormat* RecordAtRow(int nRow) override {
        return m_records.At(m_rows.at(static_cast<std::size_t>(nRow)));
    }
    void FillRow(int) override {}

    void SourceNaming(int, const std::string&) override {}
    void SourceBegan(int nRow, int) override {
        std::lock_guard<std::mutex> lock(m_mx);
        m_pTimeLeft->Began(nRow, Now());
    }
    void SourceEnded(int nRow, int, const std::string&) override {
        std::lock_guard<std::mutex> lock(m_mx);
        m_pTimeLeft->Ended(nRow, Now());
    }

    std::mutex m_mx;
    std::unique_ptr<CTimeLeft> m_pTimeLeft;

private:
    LoadTarget m_target;
    CRecordArray m_records;
    std::vector<int> m_rows;
};

struct Sample {
    double at;
    double estimate; // < 0: not shown
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 7) {
        std::fputs("usage: bench_time_left OUTPUT_FOLDER JOBS FORMAT WIDTH HEIGHT CLIP...\n",
                   stderr);
        return 2;
    }
    profiles::ConversionSettings settings;
    settings.m_nFormat =
        std::string(argv[3]) == "mov" ? profiles::kFormatH264 : profiles::kFormatMpeg4;
    settings.m_strWidth = argv[4];
    settings.m_strHeight = argv[5];
    settings.m_strOutputFolder = argv[1];
    const int nJobs = std::max(1, std::atoi(argv[2]));

    BenchList list({argv[1], profiles::FormatExtension(settings.m_nFormat)});
    const std::vector<std::string> clips(argv + 6, argv + argc);
    if (LoadSourcesThread(list, clips) != 0) {
        return 1;
    }
    std::vector<double> lengths;
    for (int nRow = 0; nRow < list.RowCount(); ++nRow) {
        FileMediaFormat* pRecord = list.RecordAtRow(nRow);
        pRecord->m_nStatus = kStatusWaiting;
        lengths.push_back(pRecord->m_nEnd - pRecord->m_nStart);
    }
    list.m_pTimeLeft = std::make_unique<CTimeLeft>(lengths, nJobs);

    ParallelBatchState state(nJobs);
    bool bEnded = false;
    std::thread worker([&] {
        RunParallelBatch(list, settings, state, list);
        std::lock_guard<std::mutex> lock(list.m_mx);
        bEnded = true;
    });
    std::vector<Sample> samples;
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        std::lock_guard<std::mutex> lock(list.m_mx);
        if (bEnded) {
            break;
        }
        const double now = Now();
        for (const auto& pSlot : state.m_slots) {
            const int nRow = pSlot->nRow;
            if (nRow >= 0) {
                list.m_pTimeLeft->Progress(nRow, std::min(pSlot->job.m_nPercent.load(), 99) / 100.0,
                                           now);
            }
        }
        const std::optional<double> estimate = list.m_pTimeLeft->Remaining(now);
        samples.push_back({now, estimate ? *estimate : -1.0});
    }
    worker.join();
    const double end = Now();

    double begin = samples.empty() ? end : samples.front().at - 0.25;
    double firstShown = -1.0;
    double worst = 0.0;
    double sum = 0.0;
    int nCompared = 0;
    for (const Sample& sample : samples) {
        if (sample.estimate < 0.0) {
            continue;
        }
        if (firstShown < 0.0) {
            firstShown = sample.at - begin;
        }
        const double left = end - sample.at;
        if (left > 5.0) {
            const double error = std::abs(sample.estimate - left) / left;
            worst = std::max(worst, error);
            sum += error;
            ++nCompared;
        }
    }
    // A batch too quick to leave several estimates to compare says nothing about them.
    constexpr int kFewestSamples = 8;
    if (nCompared < kFewestSamples) {
        std::fprintf(stderr,
                     "no figure: the batch of %zu files, %d at a time, took %.1f s and left %d "
                     "estimates to compare (at least %d are needed); give longer clips or a "
                     "larger frame\n",
                     clips.size(), nJobs, end - begin, nCompared, kFewestSamples);
        return 1;
    }
    std::printf(
        "batch of %zu files, %d at a time: %.1f s; time left first shown after %.1f s; "
        "error from then on: largest %.0f %%, mean %.0f %% (%d samples; goal: within 25 %%)\n",
        clips.size(), nJobs, end - begin, firstShown, worst * 100.0, sum / nCompared * 100.0,
        nCompared);
    return 0;
}

// Converts the given clips in one batch through the batch driver on its worker thread, with the
// real encoder, and prints the wall time in seconds. The clips are probed first, untimed, as the
// window does when they are added.
//   bench_convert_batch OUTPUT_FOLDER OPTIONS SECONDS CLIP...
// The encoder is found beside this program (the build's bin folder), then on PATH.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/batch_driver.h"
#include "engine/batch_host.h"
#include "engine/encoder_job.h"
#include "probe/probe_with_encoder.h"
#include "profiles/catalogue.h"
#include "profiles/encoder_options.h"
#include "sources/source_record.h"

namespace {

// The list position of a table value: its row + 1 (0 when missing).
template <class Table, class Value> int Position(const Table& table, Value value) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i] == value) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

// A host that serves the driver on its own thread: rows are the clips, in order.
class DirectHost final : public IBatchHost {
public:
    DirectHost(CEncoderJob& job, profiles::ConversionSettings settings)
        : m_settings(std::move(settings)) {
        m_batch.m_pJob = &job;
    }
    BatchState& Batch() override { return m_batch; }
    const profiles::ConversionSettings& Settings() override { return m_settings; }
    int RowCount() override { return static_cast<int>(m_records.size()); }
    FileMediaFormat* RecordAtRow(int nRow) override {
        return nRow >= 0 && nRow < RowCount() ? m_records[static_cast<std::size_t>(nRow)].get()
                                              : nullptr;
    }
    void FillRow(int) override {}
    void ShowFailureMessage(const std::string& strText) override {
        std::fprintf(stderr, "%s\n", strText.c_str());
    }
    void BatchEnded(bool) override {}

    std::vector<std::unique_ptr<FileMediaFormat>> m_records;

private:
    BatchState m_batch;
    profiles::ConversionSettings m_settings;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fputs("usage: bench_convert_batch OUTPUT_FOLDER OPTIONS SECONDS CLIP...\n", stderr);
        return 2;
    }
    // The driver builds the option text from the settings: these are the iPod settings, and the
    // caller's text must be what they give, so that both sides of its comparison use the same.
    profiles::ConversionSettings settings;
    settings.m_nFormat = profiles::kFormatMpeg4;
    settings.m_strWidth = "320";
    settings.m_strHeight = "240";
    settings.m_nFrameRatePos = Position(profiles::kFrameRates, 29.97);
    settings.m_nVideoBitRatePos = Position(profiles::kVideoBitRates, 768);
    settings.m_nChannelsPos = Position(profiles::kChannels, 2);
    for (std::size_t i = 0; i < profiles::kAudioBitRates.size(); ++i) {
        if (profiles::kAudioBitRates[i].nKbps == 128) {
            settings.m_nAudioBitRatePos = static_cast<int>(i) + 1;
        }
    }
    settings.m_nSampleRatePos = Position(profiles::kSampleRates, 44100);
    settings.m_strOutputFolder = argv[1];
    if (profiles::BuildEncoderOptions(settings) != argv[2]) {
        std::fprintf(stderr, "the settings give \"%s\", not \"%s\"\n",
                     profiles::BuildEncoderOptions(settings).c_str(), argv[2]);
        return 2;
    }
    const int nSeconds = std::atoi(argv[3]);

    CEncoderJob job;
    DirectHost host(job, settings);
    // As in the window, the files are added (probed) before the batch: that is not timed.
    for (int i = 4; i < argc; ++i) {
        auto pRecord = std::make_unique<FileMediaFormat>();
        if (Failed(ProbeWithEncoder(*pRecord, argv[i]))) {
            std::fprintf(stderr, "%s cannot be probed\n", argv[i]);
            return 1;
        }
        pRecord->m_nStart = 0;
        pRecord->m_nEnd = nSeconds;
        host.m_records.push_back(std::move(pRecord));
    }

    const auto begin = std::chrono::steady_clock::now();
    std::thread worker([&host] { ConvertSourcesThread(&host); });
    worker.join();
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - begin;

    int nDone = 0;
    for (const auto& pRecord : host.m_records) {
        nDone += pRecord->m_nStatus == kStatusDone ? 1 : 0;
    }
    std::printf("%.3f\n", spent.count());
    if (nDone != static_cast<int>(host.m_records.size())) {
        std::fprintf(stderr, "%d of %zu sources converted\n", nDone, host.m_records.size());
        return 1;
    }
    return 0;
}

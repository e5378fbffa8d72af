// How late the main thread's 100 ms timer fires while the conversion dialog runs a batch: the
// dialog converts the given clips with the real encoder (the worker fills rows and reads the list
// through the main thread meanwhile), and a 100 ms timer on the main thread notes each interval.
// Prints the lateness of the timer at the median, the 99th percentile and the worst, in ms, and
// the same for a reference run of ten seconds without a batch, in the same process.
//   bench_convert_timer OUTPUT_FOLDER SECONDS CLIP...
#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/batch_host.h"
#include "engine/encoder_job.h"
#include "engine/ui/convert_dlg.h"
#include "profiles/catalogue.h"
#include "sources/source_record.h"
#include "ui/prompt_service.h"

namespace {

// Answers every message with OK at once, so that the batch ends without a person.
class AnswerOk final : public IPromptService {
public:
    PromptResult Message(QWidget*, const QString&, PromptButtons, PromptIcon,
                         const QString&) override {
        return PromptResult::Ok;
    }
    QStringList OpenFiles(QWidget*, const QString&, const QString&) override { return {}; }
    QString PickFolder(QWidget*, const QString&, const QString&) override { return {}; }
    void DismissMessages(QWidget*) override {}
};

class ClipList final : public IBatchList {
public:
    int RowCount() override { return static_cast<int>(m_records.size()); }
    FileMediaFormat* RecordAtRow(int nRow) override {
        return nRow >= 0 && nRow < RowCount() ? m_records[static_cast<std::size_t>(nRow)].get()
                                              : nullptr;
    }
    void FillRow(int) override {}
    std::vector<std::unique_ptr<FileMediaFormat>> m_records;
};

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: bench_convert_timer OUTPUT_FOLDER SECONDS CLIP...\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    AnswerOk prompts;
    SetPromptService(&prompts);

    profiles::ConversionSettings settings;
    settings.m_nFormat = profiles::kFormatMpeg4;
    settings.m_strWidth = "320";
    settings.m_strHeight = "240";
    settings.m_strOutputFolder = argv[1];
    const int nSeconds = std::atoi(argv[2]);
    auto pList = std::make_unique<ClipList>();
    for (int i = 3; i < argc; ++i) {
        auto pRecord = std::make_unique<FileMediaFormat>();
        pRecord->m_strPath = argv[i];
        pRecord->m_strTitle = std::filesystem::path(argv[i]).stem().string();
        pRecord->m_nEnd = nSeconds;
        pRecord->m_nDuration = nSeconds;
        pList->m_records.push_back(std::move(pRecord));
    }
    ClipList& list = *pList;

    CEncoderJob job;
    CConvertDlg dialog(nullptr, std::move(pList), job, settings);
    // The reference: the same timer for ten seconds with nothing else running in this process.
    std::vector<double> reference;
    std::vector<double> lateness;
    std::vector<double>* pSamples = &reference;
    QTimer timer; // as the dialog's own tick timer: 100 ms, default (coarse) accuracy
    timer.setInterval(100);
    auto last = std::chrono::steady_clock::now();
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const auto now = std::chrono::steady_clock::now();
        const std::chrono::duration<double, std::milli> interval = now - last;
        last = now;
        pSamples->push_back(std::max(0.0, interval.count() - 100.0));
    });
    const auto restart = [&] {
        last = std::chrono::steady_clock::now();
        timer.start();
    };
    restart();
    QTimer::singleShot(10000, &app, &QCoreApplication::quit);
    QApplication::exec();
    timer.stop();

    pSamples = &lateness;
    QTimer::singleShot(0, restart);
    const auto begin = std::chrono::steady_clock::now();
    dialog.DoModal();
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - begin;
    timer.stop();

    int nDone = 0;
    for (int nRow = 0; nRow < list.RowCount(); ++nRow) {
        nDone += list.RecordAtRow(nRow)->m_nStatus == kStatusDone ? 1 : 0;
    }
    std::printf("batch of %d clips: %d converted in %.2f s; %zu timer intervals\n", list.RowCount(),
                nDone, spent.count(), lateness.size());
    std::printf("100 ms timer lateness while converting: median %.1f ms, 99th percentile %.1f ms "
                "(goal < 50), worst %.1f ms\n",
                Percentile(lateness, 0.5), Percentile(lateness, 0.99), Percentile(lateness, 1.0));
    SetPromptService(nullptr);
    // Ten seconds of a 100 ms timer give about a hundred intervals: far fewer means the reference
    // did not run, and its figures would compare with nothing.
    if (reference.size() < 50) {
        std::fprintf(stderr,
                     "no reference: the timer fired %zu times in ten seconds without a batch\n",
                     reference.size());
        return 1;
    }
    std::printf("reference without a batch (%zu intervals): median %.1f ms, 99th percentile "
                "%.1f ms, worst %.1f ms\n",
                reference.size(), Percentile(reference, 0.5), Percentile(reference, 0.99),
                Percentile(reference, 1.0));
    return nDone == list.RowCount() ? 0 : 1;
}

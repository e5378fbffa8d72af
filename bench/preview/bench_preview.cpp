// The preview of one clip through the Preview command of the form view, as a user starts it:
// prints the time from the command to the first frame painted in the video area, the number of
// the file's frames painted while it plays to its end, and the processor time the process spent
// from the first frame to the end of the media (every thread: decoding, conversion, painting).
// With SHOT, it also chooses a part from 2 s on and saves a picture of the dialog there instead.
//   bench_preview CLIP SECONDS FPS [SHOT.png]
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>

#include "app/velmora_view.h"
#include "controls/track_bar.h"
#include "lang/resource_ids.h"
#include "preview/preview_dlg.h"
#include "preview/video_area.h"
#include "sources/source_record.h"
#include "sources/ui/source_list.h"

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_preview CLIP SECONDS FPS [SHOT.png]\n");
        return 2;
    }
    QApplication app(argc, argv);
    const std::string strClip = argv[1];
    const int nSeconds = std::atoi(argv[2]);
    const double dFps = std::atof(argv[3]);
    const QString strShot = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString();

    CVelmoraView view;
    view.OnInitialUpdate();
    auto record = std::make_unique<FileMediaFormat>();
    record->m_strPath = strClip;
    record->m_strTitle = "clip";
    record->m_strExt = "mp4";
    record->m_nDuration = nSeconds;
    record->m_nEnd = nSeconds;
    record->m_strTargetName = "clip-cvt";
    record->m_strTargetExt = "mp4";
    view.AppendSource(std::move(record), 0);
    view.List()->SelectOnly(0);

    Clock::time_point start;
    Clock::time_point first;
    Clock::time_point end;
    double dCpuFirst = 0.0;
    double dCpuEnd = 0.0;
    std::set<media::RefTime> times; // stream times of the frames painted
    std::int64_t nPainted = 0;
    bool bFirst = false;
    QObject::connect(&view, &CVelmoraView::previewOpened, [&](CPreviewDlg* pDlg) {
        CVideoArea* pArea = pDlg->VideoArea();
        QObject::connect(pArea, &CVideoArea::framePainted, pArea, [&, pArea] {
            if (!bFirst) {
                bFirst = true;
                first = Clock::now();
                dCpuFirst = CpuSeconds();
            }
            if (nPainted == 0) { // until the end: each of the file's frames counted once
                times.insert(pArea->PaintedFrameTime());
            }
        });
        // The end of the media: the tick after it turns Play on again.
        auto* pPoll = new QTimer(pDlg);
        QObject::connect(pPoll, &QTimer::timeout, pDlg, [&, pDlg, pPoll] {
            if (bFirst && pDlg->Player().PlayStateValue() == CPreviewPlayer::Stopped) {
                pPoll->stop();
                end = Clock::now();
                dCpuEnd = CpuSeconds();
                nPainted = static_cast<std::int64_t>(times.size());
                pDlg->OnClose();
            }
        });
        pPoll->start(10);
        if (!strShot.isEmpty()) {
            QTimer::singleShot(2600, pDlg, [pDlg, strShot] {
                // The part from the playing position (2 s) to 7 s, as Start would set it.
                pDlg->PositionSlider()->SetSelection(0, 7, true);
                pDlg->OnSetStart();
                QTimer::singleShot(300, pDlg, [pDlg, strShot] {
                    pDlg->grab().save(strShot);
                    pDlg->OnClose();
                });
            });
        }
        QTimer::singleShot((nSeconds + 30) * 1000, pDlg, [pDlg] { pDlg->OnClose(); });
    });
    start = Clock::now();
    view.OnCommand(ids::kCmdPreview);
    if (!strShot.isEmpty()) {
        return 0;
    }
    if (!bFirst || nPainted == 0) {
        std::printf("no frame was painted\n");
        return 1;
    }
    const double dTotal = static_cast<double>(nSeconds) * dFps;
    const double dPlayed = Ms(end - first) / 1000.0;
    std::printf("first frame painted %.0f ms after the Preview command (goal < 300 ms)\n",
                Ms(first - start));
    std::printf("frames painted %lld of %.0f (%.1f %%, goal >= 95 %%) in %.2f s of playback\n",
                static_cast<long long>(nPainted), dTotal,
                100.0 * static_cast<double>(nPainted) / dTotal, dPlayed);
    std::printf("cpu %.3f s\n", dCpuEnd - dCpuFirst);
    return 0;
}

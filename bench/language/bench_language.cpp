// Switching the interface language with a full list: German, Chinese and back to English, each
// switch timed from the Language command to the end of the event processing it causes (the new
// menus, the new form with every row and setting taken over, the old form gone).
// Usage: bench_language [rows]                 (default 1000; goal: every switch under 150 ms)
//        bench_language --screenshots <folder> (main_window_de.png and main_window_zh_CN.png)
#include "app/app_start.h"
#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "lang/language_modules.h"
#include "lang/resource_ids.h"
#include "profiles/settings.h"
#include "sources/source_record.h"
#include "sources/ui/source_list.h"
#include "ui/prompt_service.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Answers every prompt at once, as a user pressing OK would.
class CQuietPrompts final : public IPromptService {
public:
    PromptResult Message(QWidget*, const QString&, PromptButtons buttons, PromptIcon,
                         const QString&) override {
        return buttons == PromptButtons::Ok ? PromptResult::Ok : DismissResult(buttons);
    }
    QStringList OpenFiles(QWidget*, const QString&, const QString&) override { return {}; }
    QString PickFolder(QWidget*, const QString&, const QString&) override { return {}; }
    void DismissMessages(QWidget*) override {}
};

std::unique_ptr<FileMediaFormat> Record(int n) {
    static const char* const kNames[] = {"holiday-beach", "concert_2024", "Vortrag Teil 1",
                                         "家庭视频", "interview-final"};
    auto record = std::make_unique<FileMediaFormat>();
    record->m_strTitle = kNames[n % 5] + (n < 5 ? std::string() : "-" + std::to_string(n));
    record->m_strExt = "avi";
    record->m_strPath = "/home/user/Videos/" + record->m_strTitle + ".avi";
    record->m_nDuration = 95 + n % 300;
    record->m_nStart = n % 7;
    record->m_nEnd = record->m_nDuration;
    record->m_nStatus = n % 6;
    record->m_strDuration = "00:01:35.00 (95 s)";
    record->m_strBitrate = "1014 kb/s";
    record->m_strVideo = "Video: mpeg4, yuv420p, 640x480, 25.00 tb(r)";
    record->m_strAudio = "Audio: mp3, 44100 Hz, stereo, 128 kb/s";
    record->m_strTargetFolder = "/home/user/ConvertedMedia/";
    record->m_strTargetName = record->m_strTitle + "-cvt";
    record->m_strTargetExt = "mp4";
    return record;
}

// The command of the Language item naming `nLanguage`, or 0.
int LanguageCommand(const CMainFrame& frame, std::uint16_t nLanguage) {
    const std::vector<LanguageEntry>& entries = frame.Languages();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].nLanguage == nLanguage) {
            return ids::kCmdLanguageFirst + static_cast<int>(i);
        }
    }
    return 0;
}

// Milliseconds from the command to the end of the events it posted.
double TimedSwitch(CMainFrame& frame, int nCommand) {
    const auto begin = std::chrono::steady_clock::now();
    frame.OnCommand(nCommand);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
        .count();
}

bool Shoot(CMainFrame& frame, int nCommand, const QString& strPath) {
    frame.OnCommand(nCommand);
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    if (!frame.grab().save(strPath, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(strPath));
        return false;
    }
    std::printf("wrote %s\n", qPrintable(strPath));
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    const bool bShots = argc > 2 && std::string(argv[1]) == "--screenshots";
    const int nRows = bShots ? 5 : (argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000);
    // A private settings folder: the switches store "Language".
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        // An offscreen screen with room for the whole window: on a smaller one the form would
        // scroll inside it.
        QFile screen(config.filePath(QStringLiteral("screen.json")));
        if (screen.open(QIODevice::WriteOnly)) {
            screen.write(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920, )"
                         R"("height": 1200, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
            screen.close();
        }
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screen.fileName()));
    }
    QApplication app(argc, argv);
    CQuietPrompts prompts;
    SetPromptService(&prompts);
    WriteHiddenToolTips();
    if (bShots) {
        // The pictures show a user's folder, not the one of whoever made them.
        WriteOutputPathSetting("/home/user/ConvertedMedia/");
    }

    std::unique_ptr<CMainFrame> frame = StartApplication();
    if (frame == nullptr) {
        std::fprintf(stderr, "start-up failed\n");
        return 1;
    }
    for (int n = 0; n < nRows; ++n) {
        frame->View()->AppendSource(Record(n), n);
    }
    frame->View()->List()->SelectOnly(0);
    QCoreApplication::processEvents();

    const int nGerman = LanguageCommand(*frame, 1031);
    const int nChinese = LanguageCommand(*frame, 2052);
    if (nGerman == 0 || nChinese == 0) {
        std::fprintf(stderr, "the German and Chinese modules are not beside the program\n");
        return 1;
    }

    int nResult = 0;
    if (bShots) {
        const QString strFolder = QString::fromLocal8Bit(argv[2]);
        QDir().mkpath(strFolder);
        if (!Shoot(*frame, nGerman, strFolder + "/main_window_de.png") ||
            !Shoot(*frame, nChinese, strFolder + "/main_window_zh_CN.png")) {
            nResult = 1;
        }
    } else {
        std::vector<double> times;
        const int kRounds = 5;
        for (int round = 0; round < kRounds; ++round) {
            for (const int nCommand : {nGerman, nChinese, ids::kCmdLanguageFirst}) {
                times.push_back(TimedSwitch(*frame, nCommand));
            }
        }
        if (frame->View()->RowCount() != nRows) {
            std::fprintf(stderr, "rows lost: %d of %d\n", frame->View()->RowCount(), nRows);
            nResult = 1;
        }
        std::vector<double> sorted = times;
        std::sort(sorted.begin(), sorted.end());
        std::printf("language switch with %d rows: %zu switches, median %.1f ms, max %.1f ms, "
                    "first %.1f ms (goal < 150 ms)\n",
                    nRows, times.size(), sorted[sorted.size() / 2], sorted.back(), times.front());
    }
    SetPromptService(nullptr);
    // Leave without the exit question.
    frame->hide();
    frame.reset();
    return nResult;
}

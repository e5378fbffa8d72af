#include "app/app_start.h"

#include "app/command_line_files.h"
#include "app/fault_notice.h"
#include "app/language_switch.h"
#include "app/list_keeper.h"
#include "app/main_frame.h"
#include "app/media_check.h"
#include "app/toolbar_icons.h"
#include "engine/encoder_channel.h"
#include "lang/language_modules.h"
#include "profiles/settings.h"
#include "ui/app_name.h"
#include "ui/prompt_service_qt.h"

#include <QApplication>

#include <cstdint>
#include <thread>

std::unique_ptr<CMainFrame> StartApplication() {
    // Every question and notice from here on shows as a Qt dialog (a test may still install its
    // own service over it).
    static CQtPromptService s_prompts;
    SetApplicationPromptService(&s_prompts);
    QCoreApplication::setApplicationName(AppName());
    QGuiApplication::setWindowIcon(ApplicationIcon());
    // The window's encoders follow the form alone: device limits, a size limit or a notes file
    // meant for lumicast-batch's encoders, left in the caller's environment, do not reach them.
    for (const char* szName :
         {kestrelvx::kLimitsVariable, kestrelvx::kTargetSizeVariable, kestrelvx::kNotesVariable}) {
        qunsetenv(szName);
    }

    // The media framework is checked once, before the form decides on its tip label.
    MediaFrameworkAvailable();

    StartValues start;
    start.bHiddenHelp = ReadHiddenToolTips();

    // The stored language is selected before any window exists, so the frame, its menu and the
    // form are made from that language's resources. No module for it: English stays, silently.
    const std::int32_t nStored = ReadLanguageSetting();
    if (nStored != kNoLanguage) {
        lang::SelectLanguage(static_cast<std::uint32_t>(nStored));
    }
    start.nLanguage = lang::CurrentLanguageId();
    UseQtTextsOfCurrentLanguage();

    auto frame = std::make_unique<CMainFrame>(start);
    frame->CreateView();
    frame->RebuildMenus();
    frame->SetTitle();
    frame->show();
    frame->repaint();
    // A settings file or log that does not work is named once, now that there is a status bar.
    ReportStartFaults(frame.get());
    // The list is kept while the program runs; one left by a run that did not end normally comes
    // back first.
    new CListKeeper(frame.get());
    return frame;
}

int RunApplication(int argc, char* argv[]) {
    // A new user's first GStreamer initialisation scans every plugin, which takes a second or
    // more: it runs while Qt starts, and start-up waits for it only where the form needs it.
    std::thread mediaCheck([] { MediaFrameworkAvailable(); });
    QApplication app(argc, argv);
    std::unique_ptr<CMainFrame> frame = StartApplication();
    mediaCheck.join();
    if (frame == nullptr) {
        return 1;
    }
    OpenCommandLineFiles(*frame, QCoreApplication::arguments());
    // The event loop ends when the frame has closed after the exit question.
    return QApplication::exec();
}

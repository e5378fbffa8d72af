#include "app/app_start.h"

#include "app/app_name.h"
#include "app/main_frame.h"
#include "app/media_check.h"
#include "app/toolbar_icons.h"
#include "profiles/settings.h"

#include <QApplication>

#include <thread>

namespace {

bool g_bHiddenHelp = false;
std::uint16_t g_nCurrentLanguage = 0;

} // namespace

bool HiddenHelpAtStart() {
    return g_bHiddenHelp;
}

std::uint16_t CurrentLanguageId() {
    return g_nCurrentLanguage;
}

std::unique_ptr<CMainFrame> StartApplication() {
    QCoreApplication::setApplicationName(AppName());
    QGuiApplication::setWindowIcon(ApplicationIcon());

    // The media framework is checked once, before the form decides on its tip label.
    MediaFrameworkAvailable();

    g_bHiddenHelp = ReadHiddenToolTips();

    auto frame = std::make_unique<CMainFrame>();
    frame->CreateView();
    frame->RebuildMenus();
    frame->SetTitle();
    frame->show();
    frame->repaint();
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
    // The event loop ends when the frame has closed after the exit question.
    return QApplication::exec();
}

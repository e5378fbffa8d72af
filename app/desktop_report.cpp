#include "app/desktop_report.h"

#include "controls/hyperlink.h"
#include "platform/default_browser.h"
#include "platform/desktop_open.h"
#include "support/log.h"
#include "ui/prompt_service.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <mutex>
#include <utility>

namespace {

// Carries a handler's end from the launcher's thread to the main thread. It lives as long as the
// application object; once it is gone, an end that comes later is dropped.
class CEndRelay final : public QObject {
public:
    static void Post(std::function<void()> fnCall) {
        const std::lock_guard<std::mutex> lock(Mutex());
        if (Instance() != nullptr) {
            QMetaObject::invokeMethod(Instance(), std::move(fnCall), Qt::QueuedConnection);
        }
    }
    // Made on the main thread, before the first launch.
    static void Ensure() {
        const std::lock_guard<std::mutex> lock(Mutex());
        if (Instance() == nullptr && QCoreApplication::instance() != nullptr) {
            Instance() = new CEndRelay(QCoreApplication::instance());
        }
    }

private:
    explicit CEndRelay(QObject* pParent) : QObject(pParent) {}
    ~CEndRelay() override {
        const std::lock_guard<std::mutex> lock(Mutex());
        Instance() = nullptr;
    }
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    static CEndRelay*& Instance() {
        static CEndRelay* pRelay = nullptr;
        return pRelay;
    }
};

QString Target(const std::string& strTarget) {
    return QString::fromLocal8Bit(strTarget.c_str());
}

QString Subject(DesktopTarget what) {
    switch (what) {
    case DesktopTarget::kManual:
        return QStringLiteral("The help manual");
    case DesktopTarget::kPage:
        return QStringLiteral("The page");
    case DesktopTarget::kFolder:
        break;
    }
    return QStringLiteral("The folder");
}

QString InstallAdvice(DesktopTarget what) {
    if (what == DesktopTarget::kFolder) {
        return QStringLiteral("Install a file manager (for example Nautilus, Thunar or PCManFM) "
                              "and try again.");
    }
    return InstallBrowserAdvice();
}

void ShowFailure(QWidget* pParent, const QString& strText, PromptIcon icon = PromptIcon::Warning) {
    Prompts().Message(pParent, strText, PromptButtons::Ok, icon);
}

} // namespace

QString MissingHelpHandlerText() {
    return QStringLiteral("Can't find %1. It's included in the %2 package.")
        .arg(QString::fromLatin1(platform::kDesktopHandlerProgram),
             QString::fromLatin1(platform::kDesktopHandlerPackage));
}

QString InstallBrowserAdvice() {
    return QStringLiteral("Install a web browser (for example Firefox or Chromium) and make it "
                          "the default one, then try again.");
}

QString HandlerEndText(DesktopTarget what, const std::string& strTarget, int nExitCode) {
    const QString strWhere = QStringLiteral("\n\n") + Target(strTarget);
    switch (nExitCode) {
    case 2: {
        QString strText =
            Subject(what) + QStringLiteral(" could not be opened: it does not exist.") + strWhere;
        if (what == DesktopTarget::kFolder) {
            strText += QStringLiteral("\n\nThe output folder is made by the first conversion.");
        }
        return strText;
    }
    case 3:
        return Subject(what) +
               QStringLiteral(" could not be opened: no program on this computer is set up to "
                              "open it.") +
               strWhere + QStringLiteral("\n\n") + InstallAdvice(what);
    case 4:
        return Subject(what) +
               QStringLiteral(" could not be opened: the program that opens it reported a "
                              "failure.") +
               strWhere;
    default:
        break;
    }
    return Subject(what) +
           QStringLiteral(" could not be opened: %1 ended with status %2.")
               .arg(QString::fromLatin1(platform::kDesktopHandlerProgram))
               .arg(nExitCode) +
           strWhere;
}

QString HandlerStartText(DesktopTarget what, const std::string& strTarget,
                         const platform::LaunchResult& result) {
    if (result.fault == platform::LaunchFault::kFileNotFound ||
        result.fault == platform::LaunchFault::kPathNotFound) {
        if (what == DesktopTarget::kManual) {
            // As the help command always said when its viewer was missing.
            return MissingHelpHandlerText();
        }
        return Subject(what) + QStringLiteral(" could not be opened.\n\n") + Target(strTarget) +
               QStringLiteral("\n\n") + MissingHelpHandlerText();
    }
    return Subject(what) +
           QStringLiteral(" could not be opened: %1 could not be started.\n\n")
               .arg(QString::fromLatin1(platform::kDesktopHandlerProgram)) +
           CHyperLink::ReasonText(CHyperLink::LaunchCode(result)) + QStringLiteral("\n\n") +
           Target(strTarget);
}

QString BrowserStartText(const std::string& strAddress, const platform::LaunchResult& result) {
    if (result.fault == platform::LaunchFault::kNoHandler) {
        return QStringLiteral("The page could not be opened: no default web browser is set up.") +
               QStringLiteral("\n\n") + Target(strAddress) + QStringLiteral("\n\n") +
               InstallBrowserAdvice();
    }
    return QStringLiteral("The page could not be opened: the web browser could not be started.") +
           QStringLiteral("\n\n") + CHyperLink::ReasonText(CHyperLink::LaunchCode(result)) +
           QStringLiteral("\n\n") + Target(strAddress);
}

platform::LaunchResult OpenWithDesktopReported(QWidget* pParent, const std::string& strTarget,
                                               DesktopTarget what) {
    CEndRelay::Ensure();
    QPointer<QWidget> parent(pParent);
    const platform::LaunchResult result =
        platform::OpenWithDesktop(strTarget, [parent, strTarget, what](int nExitCode) {
            if (nExitCode == 0) {
                return;
            }
            // On the launcher's thread: the message is shown on the main thread.
            CEndRelay::Post([parent, strTarget, what, nExitCode] {
                WriteLogLine("%s", QStringLiteral("%1 %2 ended with status %3")
                                       .arg(QString::fromLatin1(platform::kDesktopHandlerProgram),
                                            Target(strTarget))
                                       .arg(nExitCode)
                                       .toLocal8Bit()
                                       .constData());
                ShowFailure(parent != nullptr ? parent.data() : QApplication::activeWindow(),
                            HandlerEndText(what, strTarget, nExitCode));
            });
        });
    if (!result.Started()) {
        WriteLogLine("%s could not be started (error %d)", platform::kDesktopHandlerProgram,
                     result.nError);
        const bool bHelpViewer = what == DesktopTarget::kManual &&
                                 (result.fault == platform::LaunchFault::kFileNotFound ||
                                  result.fault == platform::LaunchFault::kPathNotFound);
        ShowFailure(pParent, HandlerStartText(what, strTarget, result),
                    bHelpViewer ? PromptIcon::None : PromptIcon::Warning);
    }
    return result;
}

platform::LaunchResult OpenInBrowserReported(QWidget* pParent, const std::string& strAddress) {
    const platform::LaunchResult result = platform::OpenInDefaultBrowser(strAddress);
    if (!result.Started()) {
        ShowFailure(pParent, BrowserStartText(strAddress, result));
    }
    return result;
}

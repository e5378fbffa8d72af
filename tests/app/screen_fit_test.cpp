// The application on the screen the test run gives it: CTest starts this program on offscreen
// screens of several sizes at several scale factors (QT_SCALE_FACTOR; see CMakeLists.txt). In each
// language the real application is started, and every window it shows (the main window, the File
// menu, the open-file dialog of Add, the help window, About, the preview, conversion and loading
// dialogs, the message boxes) lies inside the screen's available area; the File menu and the Add
// button are in reach, and a click opens them. Where the screen has room for the form, the main
// window is as large as the form needs and nothing scrolls; where it has not, the window takes
// the area and the form scrolls inside it.
#include "app/app_start.h"
#include "app/helpers/frame_steps.h"
#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "common/gui/gui_env.h"
#include "engine/encoder_job.h"
#include "engine/ui/convert_dlg.h"
#include "lang/language_modules.h"
#include "lang/resource_ids.h"
#include "preview/preview_dlg.h"
#include "profiles/settings.h"
#include "ui/prompt_service.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <memory>

namespace {

using app_test::WithModal;

QString Describe(const QRect& rect) {
    return QStringLiteral("%1,%2 %3x%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

// With LUMICAST_SCREENSHOT_DIR set, the English main window as it starts is saved there as
// main-window-<width>x<height>-scale-<factor>.png (the README's picture of a small screen).
void SaveShot(QWidget* frame, int nLanguage) {
    const QByteArray dir = qgetenv("LUMICAST_SCREENSHOT_DIR");
    if (dir.isEmpty() || nLanguage != lang::kEnglishLanguageId) {
        return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dScale = screen->devicePixelRatio();
    const QString strName = QStringLiteral("/main-window-%1x%2-scale-%3.png")
                                .arg(qRound(screen->geometry().width() * dScale))
                                .arg(qRound(screen->geometry().height() * dScale))
                                .arg(dScale);
    QDir().mkpath(QString::fromLocal8Bit(dir));
    frame->grab().save(QString::fromLocal8Bit(dir) + strName);
}

class NoRows final : public IBatchList {
public:
    int RowCount() override { return 0; }
    FileMediaFormat* RecordAtRow(int) override { return nullptr; }
    void FillRow(int) override {}
};

// Collects the windows that reach past the available area, with where they are.
class AreaCheck {
public:
    explicit AreaCheck(QString strWhere) : m_strWhere(std::move(strWhere)) {}

    // Checks one window, and its frame where the window manager draws one.
    void Window(const QWidget* window, const QString& strName) {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        if (!window->isVisible()) {
            Fault(strName + QStringLiteral(" is not shown"));
            return;
        }
        if (!area.contains(window->frameGeometry())) {
            Fault(QStringLiteral("%1 at %2 reaches past the area %3")
                      .arg(strName, Describe(window->frameGeometry()), Describe(area)));
        }
    }

    // Every visible top-level window.
    void AllWindows() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && !window->inherits("QTipLabel")) {
                Window(window, QString::fromLatin1(window->metaObject()->className()) +
                                   QLatin1Char(' ') + window->objectName());
            }
        }
    }

    void Fault(const QString& strWhat) {
        m_faults.append(m_strWhere + QStringLiteral(": ") + strWhat);
    }
    const QStringList& Faults() const { return m_faults; }

private:
    QString m_strWhere;
    QStringList m_faults;
};

} // namespace

class ScreenFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void everyWindowLiesInsideTheScreen_data();
    void everyWindowLiesInsideTheScreen();

private:
    std::unique_ptr<ScopedConfigFolder> m_config;
};

void ScreenFitTest::initTestCase() {
    m_config = std::make_unique<ScopedConfigFolder>();
    WriteHiddenToolTips(); // the help window is opened by the test, not by the timer
    WriteOutputPathSetting("/home/user/ConvertedMedia/"); // a user's folder in the pictures
    // The preview plays into a sink that needs no sound device.
    qputenv("LUMICAST_AUDIO_SINK", "fakesink sync=true");
    const QScreen* screen = QGuiApplication::primaryScreen();
    qInfo("screen %dx%d device pixels at scale %.2f: %dx%d logical",
          qRound(screen->geometry().width() * screen->devicePixelRatio()),
          qRound(screen->geometry().height() * screen->devicePixelRatio()),
          screen->devicePixelRatio(), screen->geometry().width(), screen->geometry().height());
}

void ScreenFitTest::cleanup() {
    lang::ResetLanguageSelection();
}

void ScreenFitTest::everyWindowLiesInsideTheScreen_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << static_cast<int>(lang::kEnglishLanguageId);
    for (const lang::LanguageModule& module : lang::ListLanguageModules()) {
        QString tag = QString::fromStdString(module.strName);
        tag.remove(QLatin1Char('&'));
        QTest::newRow(tag.toUtf8().constData()) << static_cast<int>(module.nLanguage);
    }
}

void ScreenFitTest::everyWindowLiesInsideTheScreen() {
    QFETCH(int, language);
    lang::ResetLanguageSelection();
    QVERIFY(WriteLanguageSetting(language));
    AreaCheck check(QString::fromUtf8(QTest::currentDataTag()));

    std::unique_ptr<CMainFrame> frame = StartApplication();
    QVERIFY(frame != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    QCOMPARE(lang::CurrentLanguageId(), language);

    // Room for the form: the window is as large as the form needs and nothing scrolls. No room:
    // the window takes the area (less its frame) and the form scrolls inside it. The window is
    // fitted again once its bars have their heights and its frame is known: that is waited for.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize form = frame->View()->FormSize();
    QSize needed;
    QSize framed;
    bool bRoom = false;
    const auto fitted = [&] {
        const int nChrome = frame->height() - frame->FormScroll()->height();
        needed = QSize(qMax(int(CMainFrame::kWidth), form.width()),
                       qMax(int(CMainFrame::kHeight), form.height() + nChrome));
        framed = frame->frameGeometry().size() - frame->size();
        bRoom = needed.width() + framed.width() <= area.width() &&
                needed.height() + framed.height() <= area.height();
        return bRoom ? frame->size() == needed
                     : frame->width() + framed.width() == area.width() ||
                           frame->height() + framed.height() == area.height();
    };
    QTRY_VERIFY2_WITH_TIMEOUT(fitted(), qPrintable(Describe(frame->frameGeometry())), 5000);
    check.Window(frame.get(), QStringLiteral("the main window"));
    SaveShot(frame.get(), language);
    QScrollBar* across = frame->FormScroll()->horizontalScrollBar();
    QScrollBar* down = frame->FormScroll()->verticalScrollBar();
    if (bRoom) {
        QVERIFY(!across->isVisible() && !down->isVisible());
    } else {
        QVERIFY(across->isVisible() || down->isVisible());
        // Scrolled to its far corner, the form's last control shows whole.
        across->setValue(across->maximum());
        down->setValue(down->maximum());
        QWidget* go = frame->View()->Control(ids::kCtlGo);
        QVERIFY(go != nullptr);
        const QRect shown(go->mapTo(frame->FormScroll()->viewport(), QPoint()), go->size());
        QVERIFY2(frame->FormScroll()->viewport()->rect().contains(shown),
                 qPrintable(Describe(shown)));
    }
    // The bars stay in the window: the menu bar, the toolbar, the status bar.
    for (QWidget* bar :
         std::initializer_list<QWidget*>{frame->menuBar(), frame->ToolBar(), frame->statusBar()}) {
        const QRect inFrame(bar->mapTo(frame.get(), QPoint()), bar->size());
        if (!frame->rect().contains(inFrame) || !bar->isVisible()) {
            check.Fault(
                QStringLiteral("%1 at %2 is not inside the window")
                    .arg(QString::fromLatin1(bar->metaObject()->className()), Describe(inFrame)));
        }
    }

    // The File menu: its title in the bar, and a click opens it inside the area.
    QMenuBar* bar = frame->menuBar();
    QAction* file = bar->actions().value(0);
    QVERIFY(file != nullptr && file->menu() != nullptr);
    const QRect title = bar->actionGeometry(file);
    QVERIFY2(bar->rect().contains(title), qPrintable(Describe(title)));
    QTest::mouseClick(bar, Qt::LeftButton, {}, title.center());
    QTRY_VERIFY_WITH_TIMEOUT(file->menu()->isVisible(), 5000);
    check.Window(file->menu(), QStringLiteral("the File menu"));
    file->menu()->hide();

    // The Add button: shown on the toolbar, and a click opens the open-file dialog.
    QWidget* add = frame->ToolBar()->widgetForAction(frame->Action(ids::kCmdAdd));
    QVERIFY(add != nullptr && add->isVisible());
    const QRect addRect(add->mapTo(frame.get(), QPoint()), add->size());
    QVERIFY2(frame->rect().contains(addRect), qPrintable(Describe(addRect)));
    QVERIFY(WithModal<QFileDialog>([&] { QTest::mouseClick(add, Qt::LeftButton); },
                                   [&](QFileDialog* dialog) {
                                       check.Window(dialog, QStringLiteral("the open-file dialog"));
                                   }));

    // The help window, About, the preview, conversion and loading dialogs.
    frame->OnToolTips();
    QWidget* help = WaitForTopLevel(QStringLiteral("dlg_%1").arg(ids::kDlgHelp), 5000);
    QVERIFY(help != nullptr);
    check.Window(help, QStringLiteral("the help window"));
    qobject_cast<QDialog*>(help)->reject();
    QVERIFY(WithModal<QDialog>(
        [&] { frame->OnCommand(ids::kCmdAbout); },
        [&](QDialog* about) { check.Window(about, QStringLiteral("the About dialog")); }));
    QVERIFY(WithModal<CPreviewDlg>(
        [&] {
            CPreviewDlg preview(frame.get());
            preview.DoModal();
        },
        [&](CPreviewDlg* preview) { check.Window(preview, QStringLiteral("the preview")); }));
    {
        CEncoderJob job;
        CConvertDlg convert(frame->View(), std::make_unique<NoRows>(), job,
                            frame->View()->Settings());
        convert.show();
        QVERIFY(QTest::qWaitForWindowExposed(&convert));
        check.Window(&convert, QStringLiteral("the conversion dialog"));
        check.AllWindows();
        convert.hide();
    }
    // A file that cannot be read: the loading dialog, then the message naming it.
    QVERIFY(WithModal<QMessageBox>(
        [&] { frame->View()->LoadSources({"/nonexistent/clip.avi"}); },
        [&](QMessageBox* box) { check.Window(box, QStringLiteral("the message box")); }));
    // A message as long as the list of files a loading pass could not read: its text scrolls,
    // its button stays in view.
    QStringList lines;
    for (int i = 0; i < 300; ++i) {
        lines.append(QStringLiteral("/home/user/Videos/broken clip %1.avi").arg(i));
    }
    QVERIFY(WithModal<QMessageBox>(
        [&] {
            Prompts().Message(frame.get(), lines.join(QLatin1Char('\n')), PromptButtons::Ok,
                              PromptIcon::Warning);
        },
        [&](QMessageBox* box) {
            check.Window(box, QStringLiteral("the long message"));
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            if (ok == nullptr || !ok->isVisible() ||
                !box->rect().contains(QRect(ok->mapTo(box, QPoint()), ok->size()))) {
                check.Fault(QStringLiteral("the long message's OK button is out of view"));
            }
        }));
    // The exit question.
    QVERIFY(WithModal<QMessageBox>(
        [&] { frame->close(); },
        [&](QMessageBox* box) { check.Window(box, QStringLiteral("the exit question")); }));
    frame.reset();
    QVERIFY2(check.Faults().isEmpty(), qPrintable(check.Faults().join(QLatin1Char('\n'))));
}

QTEST_MAIN(ScreenFitTest)
#include "screen_fit_test.moc"

// The main frame as start-up leaves it: window size and position, the menu after the rebuild, the
// toolbar with its captions and images, the status bar, and where commands go.
#include "app/app_start.h"
#include "app/main_frame.h"
#include "app/status_panes.h"
#include "app/toolbar_icons.h"
#include "app/velmora_view.h"
#include "common/gui/gui_env.h"
#include "common/gui/scripted_prompts.h"
#include "engine/encoder_channel.h"
#include "lang/resource_ids.h"
#include "profiles/settings.h"
#include "ui/prompt_service_qt.h"
#include "ui/screen_fit.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

QMenu* TopMenu(CMainFrame& frame, int index) {
    const QList<QAction*> tops = frame.menuBar()->actions();
    return index < tops.size() ? tops[index]->menu() : nullptr;
}

QList<int> Commands(const QMenu* menu) {
    QList<int> commands;
    for (const QAction* action : menu->actions()) {
        commands.append(action->isSeparator() ? 0 : action->data().toInt());
    }
    return commands;
}

bool HasCommand(const QMenu* menu, int nCommand) {
    for (const QAction* action : menu->actions()) {
        if (action->menu() != nullptr && HasCommand(action->menu(), nCommand)) {
            return true;
        }
        if (!action->isSeparator() && action->data().toInt() == nCommand) {
            return true;
        }
    }
    return false;
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void windowIsFixedCentredAndTitled();
    void menuAfterRebuild();
    void informationalItemsStayChecked();
    void toolbarHasElevenButtonsWithCaptionsAndImages();
    void disabledButtonsLookGreyed();
    void statusBarShowsIdleTextPromptsAndIndicators();
    void viewCommandsFollowTheView();

private:
    std::unique_ptr<ScopedConfigFolder> m_config;
    std::unique_ptr<CMainFrame> m_frame;
};

void MainFrameTest::initTestCase() {
    m_config = std::make_unique<ScopedConfigFolder>();
    WriteHiddenToolTips();
    // Limits meant for lumicast-batch's encoders, left in the environment, never reach the
    // window's.
    qputenv(kestrelvx::kLimitsVariable, "fps=30");
    qputenv(kestrelvx::kTargetSizeVariable, "1000000");
    m_frame = StartApplication();
    QVERIFY(m_frame != nullptr);
    QVERIFY(!qEnvironmentVariableIsSet(kestrelvx::kLimitsVariable));
    QVERIFY(!qEnvironmentVariableIsSet(kestrelvx::kTargetSizeVariable));
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get(), testkit::kPatientMs));
    // Start-up has installed the Qt dialogs as the prompt service.
    QVERIFY(dynamic_cast<CQtPromptService*>(&Prompts()) != nullptr);
}

void MainFrameTest::cleanupTestCase() {
    ScriptedPrompts prompts;
    prompts.AnswerMessage(PromptResult::Ok);
    m_frame->close();
    m_frame.reset();
    m_config.reset();
}

void MainFrameTest::windowIsFixedCentredAndTitled() {
    QCOMPARE(m_frame->windowTitle(), QStringLiteral("Lumicast"));
    // 735 by 564, or just as much larger as the form needs at the scale of its texts, but no
    // larger than the screen's available area (less the window's frame): the form scrolls then.
    const QSize form = m_frame->View()->FormSize();
    const int nChrome = m_frame->height() - m_frame->FormScroll()->height();
    const QSize needed(qMax(735, form.width()), qMax(564, form.height() + nChrome));
    const QSize largest = LargestWindowSize(m_frame.get());
    // The window is fitted again once its frame is known, which may come after it showed.
    QTRY_COMPARE_WITH_TIMEOUT(m_frame->size(), ScrolledSize(needed, largest, m_frame->FormScroll()),
                              5000);
    QVERIFY(m_frame->View()->height() >= form.height());
    QVERIFY(m_frame->View()->width() >= form.width());
    QCOMPARE(m_frame->minimumSize(), m_frame->maximumSize());
    QVERIFY(!(m_frame->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(m_frame->windowFlags() & Qt::WindowCloseButtonHint);
    const QRect area = AvailableArea(m_frame.get());
    QVERIFY2(area.contains(m_frame->frameGeometry()),
             qPrintable(QStringLiteral("frame %1,%2 %3x%4 outside the area %5x%6")
                            .arg(m_frame->frameGeometry().x())
                            .arg(m_frame->frameGeometry().y())
                            .arg(m_frame->frameGeometry().width())
                            .arg(m_frame->frameGeometry().height())
                            .arg(area.width())
                            .arg(area.height())));
    if (needed.width() <= largest.width() && needed.height() <= largest.height()) {
        // Room enough: centred on the screen, as it always was.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(m_frame->pos(), QPoint((screen.width() - needed.width()) / 2,
                                        (screen.height() - needed.height()) / 2));
    }
    QCOMPARE(qobject_cast<CVelmoraView*>(m_frame->FormScroll()->widget()), m_frame->View());
    QVERIFY(m_frame->View()->isVisible());
}

void MainFrameTest::menuAfterRebuild() {
    const QList<QAction*> tops = m_frame->menuBar()->actions();
    QStringList titles;
    for (const QAction* top : tops) {
        titles.append(top->text());
    }
    QCOMPARE(titles, QStringList({"&File", "&Action", "&Language", "&Source Format",
                                  "&Target Format", "&Download", "&Help"}));

    QCOMPARE(Commands(TopMenu(*m_frame, 0)),
             QList<int>({ids::kCmdAdd, ids::kCmdRemove, ids::kCmdRemoveAll, 0, ids::kCmdExit}));
    for (const int removed :
         {ids::kCmdNew, ids::kCmdOpen, ids::kCmdSave, ids::kCmdSaveAs, ids::kCmdTgtMov,
          ids::kCmdTgtWmv, ids::kCmdTgt3gp, ids::kCmdTgtOgm, ids::kCmdTgtAvi, ids::kCmdTgtDvd,
          ids::kCmdTgtVcd, ids::kCmdTgtSvcd, ids::kCmdTgtDv}) {
        for (int i = 0; i < tops.size(); ++i) {
            QVERIFY2(!HasCommand(TopMenu(*m_frame, i), removed),
                     qPrintable(QString::number(removed)));
        }
    }
    QCOMPARE(Commands(TopMenu(*m_frame, 4)), QList<int>({ids::kCmdTgtMpeg4, ids::kCmdTgtH264}));

    // The built-in English entry first, then the modules beside the program; none checked: no
    // language has been selected in this run.
    const QMenu* languages = TopMenu(*m_frame, 2);
    QVERIFY(!languages->actions().isEmpty());
    QCOMPARE(languages->actions()[0]->text(), QStringLiteral("&English"));
    QCOMPARE(languages->actions()[0]->data().toInt(), ids::kCmdLanguageFirst);
    for (const QAction* language : languages->actions()) {
        QVERIFY(!language->isChecked());
    }

    const QMenu* help = TopMenu(*m_frame, 6);
    QCOMPARE(Commands(help),
             QList<int>({ids::kCmdHelpContents, ids::kCmdToolTips, 0, ids::kCmdAbout}));
    QCOMPARE(m_frame->Action(ids::kCmdAbout)->text(), QStringLiteral("&About Lumicast ..."));
    QVERIFY(!m_frame->Action(ids::kCmdToolTips)->isChecked());
    QCOMPARE(m_frame->Action(ids::kCmdAdd)->text(), QStringLiteral("&Add..."));
}

void MainFrameTest::informationalItemsStayChecked() {
    QAction* rm = m_frame->Action(ids::kCmdSrcRm);
    QVERIFY(rm->isChecked());
    rm->trigger();
    QVERIFY(rm->isChecked());
    QAction* h264 = m_frame->Action(ids::kCmdTgtH264);
    QVERIFY(h264->isChecked());
    h264->trigger();
    QVERIFY(h264->isChecked());
    QVERIFY(m_frame->isVisible());
}

void MainFrameTest::toolbarHasElevenButtonsWithCaptionsAndImages() {
    const QList<QAction*> actions = m_frame->ToolBar()->actions();
    QCOMPARE(actions.size(), 11);
    const QStringList captions = {"Add", "Remove",  "Remove All", "", "Move Up", "Move Down",
                                  "",    "Preview", "Convert",    "", "Exit"};
    const QList<int> commands = {ids::kCmdAdd,
                                 ids::kCmdRemove,
                                 ids::kCmdRemoveAll,
                                 0,
                                 ids::kCmdMoveUp,
                                 ids::kCmdMoveDown,
                                 0,
                                 ids::kCmdPreview,
                                 ids::kCmdConvert,
                                 0,
                                 ids::kCmdExit};
    for (int i = 0; i < 11; ++i) {
        QAction* action = actions[i];
        if (commands[i] == 0) {
            QVERIFY(action->isSeparator());
            continue;
        }
        QCOMPARE(action->data().toInt(), commands[i]);
        // The toolbar shares the menu's action.
        QCOMPARE(action, m_frame->Action(commands[i]));
        QCOMPARE(action->iconText(), captions[i]);
        QVERIFY(!action->icon().isNull());
        auto* button = qobject_cast<QToolButton*>(m_frame->ToolBar()->widgetForAction(action));
        QVERIFY(button != nullptr);
        QCOMPARE(button->size(), QSize(68, 68));
        // The caption fits under the image.
        QVERIFY2(button->fontMetrics().horizontalAdvance(captions[i]) < 68,
                 qPrintable(captions[i]));
    }
    QCOMPARE(m_frame->ToolBar()->iconSize(), QSize(48, 48));
    QCOMPARE(m_frame->ToolBar()->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    // Tool tips come after the line feed of the command's prompt.
    QCOMPARE(m_frame->Action(ids::kCmdRemoveAll)->toolTip(), QStringLiteral("Remove All"));
}

void MainFrameTest::disabledButtonsLookGreyed() {
    const QIcon icon = m_frame->Action(ids::kCmdConvert)->icon();
    const QImage normal = icon.pixmap(QSize(48, 48), QIcon::Normal).toImage();
    const QImage disabled = icon.pixmap(QSize(48, 48), QIcon::Disabled).toImage();
    QCOMPARE(normal.size(), QSize(48, 48));
    QCOMPARE(disabled.size(), QSize(48, 48));
    int nColoured = 0;
    int nDisabledColoured = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x) {
            const QColor a = normal.pixelColor(x, y);
            const QColor b = disabled.pixelColor(x, y);
            nColoured += a.alpha() > 0 && a.hsvSaturation() > 60 ? 1 : 0;
            nDisabledColoured += b.alpha() > 0 && b.hsvSaturation() > 10 ? 1 : 0;
            // Never more opaque than the normal image.
            QVERIFY(b.alpha() <= a.alpha());
        }
    }
    QVERIFY(nColoured > 100);
    QCOMPARE(nDisabledColoured, 0);
    QVERIFY(ToolbarIcon(99999, 48).isNull());
}

void MainFrameTest::statusBarShowsIdleTextPromptsAndIndicators() {
    CStatusPanes* panes = m_frame->StatusPanes();
    QCOMPARE(panes->IdlePane()->text(), QStringLiteral("Ready"));
    QCOMPARE(panes->Indicator(0)->text(), QStringLiteral("CAP"));
    QCOMPARE(panes->Indicator(1)->text(), QStringLiteral("NUM"));
    QCOMPARE(panes->Indicator(2)->text(), QStringLiteral("SCRL"));
    // Offscreen there is no keyboard state to read: the indicators show dimmed.
    for (int i = 0; i < 3; ++i) {
        QVERIFY(panes->Indicator(i)->isVisible());
        QVERIFY(!panes->Indicator(i)->isEnabled());
    }
    QCOMPARE(m_frame->Action(ids::kCmdAdd)->statusTip(),
             QStringLiteral("Add media files to the source list"));
    QCOMPARE(m_frame->Action(ids::kCmdSrcMpeg)->statusTip(),
             QStringLiteral("Mpeg file (MPEG,DVD,SVCD,VCD...)"));
    QVERIFY(m_frame->Action(ids::kCmdSrcMp4)->statusTip().isEmpty());
    m_frame->Action(ids::kCmdAdd)->showStatusText(m_frame.get());
    QCOMPARE(m_frame->statusBar()->currentMessage(),
             QStringLiteral("Add media files to the source list"));
    QVERIFY(!panes->IdlePane()->isVisible());
    m_frame->statusBar()->clearMessage();
    QVERIFY(panes->IdlePane()->isVisible());
}

void MainFrameTest::viewCommandsFollowTheView() {
    CVelmoraView* view = m_frame->View();
    for (const int nCommand : {ids::kCmdAdd, ids::kCmdRemove, ids::kCmdRemoveAll, ids::kCmdMoveUp,
                               ids::kCmdMoveDown, ids::kCmdPreview, ids::kCmdConvert}) {
        QCOMPARE(m_frame->Action(nCommand)->isEnabled(), view->IsCommandEnabled(nCommand));
    }
    // With an empty list Add works and the list commands do not.
    QVERIFY(m_frame->Action(ids::kCmdAdd)->isEnabled());
    QVERIFY(!m_frame->Action(ids::kCmdConvert)->isEnabled());
    QVERIFY(!m_frame->ToolBar()->widgetForAction(m_frame->Action(ids::kCmdConvert))->isEnabled());

    // Add reaches the view, which asks for files; cancelling the dialog adds nothing.
    ScriptedPrompts prompts;
    QSignalSpy triggered(m_frame.get(), &CMainFrame::commandTriggered);
    QTest::mouseClick(m_frame->ToolBar()->widgetForAction(m_frame->Action(ids::kCmdAdd)),
                      Qt::LeftButton);
    QCOMPARE(triggered.count(), 1);
    QCOMPARE(triggered.at(0).at(0).toInt(), ids::kCmdAdd);
    QCOMPARE(prompts.CountOf(ScriptedPrompts::Kind::OpenFiles), 1);
    QCOMPARE(view->RowCount(), 0);

    m_frame->SetCommandEnabled(ids::kCmdPreview, true);
    QVERIFY(m_frame->ToolBar()->widgetForAction(m_frame->Action(ids::kCmdPreview))->isEnabled());
    m_frame->UpdateCommandStates();
    QVERIFY(!m_frame->Action(ids::kCmdPreview)->isEnabled());
}

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"

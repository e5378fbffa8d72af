// A language switch keeps the user's place: the selected rows stay selected (so the information
// panel still describes the first of them), the focused row keeps the focus, and the window stays
// where the user put it, although the new form has another size.
#include "app/app_start.h"
#include "app/helpers/frame_steps.h"
#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "common/gui/gui_env.h"
#include "lang/language_modules.h"
#include "lang/resource_ids.h"
#include "profiles/settings.h"
#include "sources/source_record.h"
#include "sources/ui/source_list.h"

#include <QMessageBox>
#include <QScreen>
#include <QTest>

#include <memory>

namespace {

constexpr std::uint16_t kGerman = 1031;

} // namespace

class LanguageSwitchPlaceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_config = std::make_unique<ScopedConfigFolder>();
        WriteHiddenToolTips();
    }

    void switchKeepsSelectionFocusAndPlace() {
        std::unique_ptr<CMainFrame> frame = StartApplication();
        QVERIFY(frame != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        for (const std::string title : {"first", "second", "third"}) {
            app_test::AddSourceRow(*frame->View(), title, title + "-cvt");
        }
        CSourceList* list = frame->View()->List();
        list->SetRowSelected(1, true);
        list->SetRowSelected(2, true);
        list->SetFocusRow(2);
        QVERIFY(frame->View()->PanelText().startsWith(QStringLiteral("second.avi")));
        // Where the user put the window, away from where it started.
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        frame->move(area.topLeft() + QPoint(40, 30));
        QTRY_COMPARE(frame->pos(), area.topLeft() + QPoint(40, 30));

        for (const std::uint16_t nLanguage : {kGerman, lang::kEnglishLanguageId}) {
            const int nCommand = app_test::LanguageCommand(*frame, nLanguage);
            QVERIFY(nCommand != 0);
            // German shows the notice about translation errors first.
            app_test::WithModal<QMessageBox>([&] { frame->OnCommand(nCommand); },
                                             [](QMessageBox*) {});
            QCOMPARE(lang::CurrentLanguageId(), nLanguage);
            CSourceList* newList = frame->View()->List();
            QVERIFY(newList != list);
            list = newList;
            QCOMPARE(list->RowCount(), 3);
            QCOMPARE(list->SelectedRows(), (std::vector<int>{1, 2}));
            QCOMPARE(list->FocusRow(), 2);
            QVERIFY2(frame->View()->PanelText().startsWith(QStringLiteral("second.avi")),
                     qPrintable(frame->View()->PanelText()));
            // The place stays, whatever size the form in the new language needs.
            QCOMPARE(frame->pos(), area.topLeft() + QPoint(40, 30));
        }
        app_test::CloseFrame(frame);
    }

private:
    std::unique_ptr<ScopedConfigFolder> m_config;
};

QTEST_MAIN(LanguageSwitchPlaceTest)
#include "language_switch_place_test.moc"

// The Preview command of the form view over real GStreamer with a generated clip and a silent
// audio output: the part chosen with OK is stored in the record and shown in its row; Cancel, the
// close box and OK without a change leave both alone.
#include "app/velmora_view.h"
#include "common/gui/gui_env.h"
#include "common/media.h"
#include "common/testkit.h"
#include "lang/resource_ids.h"
#include "preview/helpers/preview_steps.h"
#include "preview/preview_dlg.h"
#include "sources/source_record.h"
#include "sources/ui/source_list.h"

#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using preview_test::Click;
using preview_test::DragTo;
using preview_test::Enabled;
using preview_test::kOpenWaitMs;

class PreviewCommandTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void previewCommandStoresTheChosenPart();
    void leavingWithoutAChoiceLeavesRecordAndRow();

private:
    // Runs the view's Preview command; `script` drives the dialog inside its modal loop and must
    // end it.
    void RunPreview(CVelmoraView& view, const std::function<void(CPreviewDlg&)>& script);
    std::unique_ptr<CVelmoraView> ViewWithClip(const std::string& path, int nDuration);

    std::unique_ptr<ScopedConfigFolder> m_pConfig;
    testkit::TempDir m_dir;
    std::string m_strLong; // 95 s, picture and sound
};

void PreviewCommandTest::initTestCase() {
    m_pConfig = std::make_unique<ScopedConfigFolder>();
    preview_test::UseSilentAudioOutput();
    m_strLong = m_dir.File("long clip.mp4");
    QVERIFY(testkit::MakeClip(m_strLong, 95.0, 160, 120, true));
}

std::unique_ptr<CVelmoraView> PreviewCommandTest::ViewWithClip(const std::string& path,
                                                               int nDuration) {
    auto view = std::make_unique<CVelmoraView>();
    view->OnInitialUpdate();
    auto record = std::make_unique<FileMediaFormat>();
    record->m_strPath = path;
    record->m_strTitle = "long clip";
    record->m_strExt = "mp4";
    record->m_nDuration = nDuration;
    record->m_nEnd = nDuration;
    record->m_strTargetFolder = m_dir.Path() + "/";
    record->m_strTargetName = "long clip-cvt";
    record->m_strTargetExt = "mp4";
    view->AppendSource(std::move(record), 0);
    view->List()->SelectOnly(0);
    return view;
}

void PreviewCommandTest::RunPreview(CVelmoraView& view,
                                    const std::function<void(CPreviewDlg&)>& script) {
    bool bRan = false;
    const QMetaObject::Connection connection =
        connect(&view, &CVelmoraView::previewOpened, this, [&](CPreviewDlg* pDlg) {
            QTimer::singleShot(0, pDlg, [&, pDlg] {
                bRan = true;
                script(*pDlg);
                if (pDlg->isVisible()) {
                    pDlg->OnClose(); // a script that failed half-way still ends the dialog
                }
            });
        });
    QVERIFY(view.OnCommand(ids::kCmdPreview));
    disconnect(connection);
    QVERIFY(bRan);
}

void PreviewCommandTest::previewCommandStoresTheChosenPart() {
    auto view = ViewWithClip(m_strLong, 95);
    RunPreview(*view, [](CPreviewDlg& dlg) {
        QVERIFY(QTest::qWaitFor([&] { return Enabled(dlg, ids::kCtlStop); }, kOpenWaitMs));
        Click(dlg, ids::kCtlPause);
        DragTo(dlg, 20);
        Click(dlg, ids::kCtlStart);
        DragTo(dlg, 60);
        Click(dlg, ids::kCtlEnd);
        Click(dlg, ids::kIdOk);
    });
    const FileMediaFormat* record = view->RecordAtRow(0);
    QCOMPARE(record->m_nStart, 20);
    QCOMPARE(record->m_nEnd, 60);
    CSourceList* list = view->List();
    const QString strSegment = QStringLiteral("00:00:20-00:01:00");
    QCOMPARE(list->Text(0, 2), strSegment);
    // A refilled row (Convert refills them all) still shows the part that will be converted.
    view->FillRow(0);
    QCOMPARE(list->Text(0, 2), strSegment);
    // The column is wide enough for its whole text in the list's font.
    const int nTextWidth = list->fontMetrics().horizontalAdvance(strSegment);
    QVERIFY2(list->columnWidth(2) >= nTextWidth + 2 * list->fontMetrics().averageCharWidth(),
             qPrintable(QStringLiteral("%1 < %2").arg(list->columnWidth(2)).arg(nTextWidth)));
}

void PreviewCommandTest::leavingWithoutAChoiceLeavesRecordAndRow() {
    auto view = ViewWithClip(m_strLong, 95);
    CSourceList* list = view->List();
    const QString strMark = QStringLiteral("untouched");
    list->SetText(0, 2, strMark);
    const auto moveThenLeave = [](const std::function<void(CPreviewDlg&)>& leave) {
        return [leave](CPreviewDlg& dlg) {
            QVERIFY(QTest::qWaitFor([&] { return Enabled(dlg, ids::kCtlStop); }, kOpenWaitMs));
            Click(dlg, ids::kCtlPause);
            DragTo(dlg, 30);
            Click(dlg, ids::kCtlStart);
            leave(dlg);
        };
    };
    RunPreview(*view, moveThenLeave([](CPreviewDlg& dlg) { Click(dlg, ids::kCtlPreviewCancel); }));
    RunPreview(*view, moveThenLeave([](CPreviewDlg& dlg) { dlg.close(); }));
    RunPreview(*view, [](CPreviewDlg& dlg) {
        QVERIFY(QTest::qWaitFor([&] { return Enabled(dlg, ids::kCtlStop); }, kOpenWaitMs));
        Click(dlg, ids::kIdOk);
    });
    const FileMediaFormat* record = view->RecordAtRow(0);
    QCOMPARE(record->m_nStart, 0);
    QCOMPARE(record->m_nEnd, 95);
    QCOMPARE(list->Text(0, 2), strMark);
}

QTEST_MAIN(PreviewCommandTest)
#include "preview_command_test.moc"

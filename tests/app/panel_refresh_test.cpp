// When the information panel is rebuilt, and what it shows for a row.
#include "app/velmora_view.h"
#include "common/testkit.h"
#include "sources/source_record.h"
#include "sources/ui/source_list.h"

#include <QPlainTextEdit>
#include <QTest>

#include <memory>

namespace {

std::unique_ptr<FileMediaFormat> ExampleRecord(const std::string& strTitle) {
    auto record = std::make_unique<FileMediaFormat>();
    record->m_strPath = "/media/" + strTitle + ".avi";
    record->m_strTitle = strTitle;
    record->m_strExt = "avi";
    record->m_nDuration = 83;
    record->m_strDuration = "00:01:23.45 (83 s)";
    record->m_strBitrate = "1014 kb/s";
    record->m_strVideo = " mpeg4, yuv420p, 640x480, 25.00 tb(r)";
    record->m_strAudio = " mp3, 44100 Hz, stereo, 128 kb/s";
    return record;
}

const QString kExampleText = QStringLiteral("clip.avi\n"
                                            "\n"
                                            "Duration:00:01:23.45 (83 s)\n"
                                            "Bitrate:1014 kb/s\n"
                                            "Video:\n"
                                            "  mpeg4, yuv420p,\n"
                                            "  640x480, 25.00 tb(r)\n"
                                            "Audio:\n"
                                            "  mp3, 44100 Hz,\n"
                                            "  stereo, 128 kb/s");

std::unique_ptr<CVelmoraView> ViewWith(std::initializer_list<const char*> titles) {
    auto view = std::make_unique<CVelmoraView>();
    view->OnInitialUpdate();
    for (const char* title : titles) {
        view->AppendSource(ExampleRecord(title), view->RowCount());
    }
    return view;
}

} // namespace

class PanelRefreshTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exampleTextOnSelection();
    void panelIsReadOnlyAndUnwrapped();
    void theSameRowAgainIsNotRebuilt();
    void firstSelectedRowIsDescribed();
    void deselectingTheFocusedRowFollowsTheNextSelected();
    void noSelectionKeepsTheText();
    void removingTheOnlyRowEmptiesThePanel();
    void unknownFormatAndMissingStreams();

private:
    testkit::TempDir m_config;
};

void PanelRefreshTest::initTestCase() {
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_config.Path()));
}

void PanelRefreshTest::exampleTextOnSelection() {
    auto view = ViewWith({"first", "clip"});
    QCOMPARE(view->PanelText(), QString());
    QTest::mouseClick(view->List()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      view->List()->visualItemRect(view->List()->topLevelItem(1)).center());
    QCOMPARE(view->List()->SelectedRows(), std::vector<int>{1});
    QCOMPARE(view->PanelText(), kExampleText);
}

void PanelRefreshTest::panelIsReadOnlyAndUnwrapped() {
    auto view = ViewWith({});
    auto* panel = qobject_cast<QPlainTextEdit*>(view->Control(1210));
    QVERIFY(panel != nullptr);
    QVERIFY(panel->isReadOnly());
    QCOMPARE(panel->lineWrapMode(), QPlainTextEdit::NoWrap);
}

void PanelRefreshTest::theSameRowAgainIsNotRebuilt() {
    auto view = ViewWith({"clip"});
    view->List()->SelectOnly(0);
    QCOMPARE(view->PanelText(), kExampleText);
    // The record changes underneath; selecting the same row again keeps the old text.
    view->RecordAtRow(0)->m_strBitrate = "2000 kb/s";
    view->List()->clearSelection();
    view->List()->SelectOnly(0);
    QCOMPARE(view->PanelText(), kExampleText);
}

void PanelRefreshTest::firstSelectedRowIsDescribed() {
    auto view = ViewWith({"a", "b", "c"});
    view->List()->SelectOnly(2);
    QVERIFY(view->PanelText().startsWith(QStringLiteral("c.avi\n")));
    view->List()->SetRowSelected(0, true); // now rows 0 and 2
    QVERIFY(view->PanelText().startsWith(QStringLiteral("a.avi\n")));
}

void PanelRefreshTest::deselectingTheFocusedRowFollowsTheNextSelected() {
    auto view = ViewWith({"a", "b", "c"});
    CSourceList* list = view->List();
    const auto click = [list](int nRow, Qt::KeyboardModifiers modifiers) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualItemRect(list->topLevelItem(nRow)).center());
    };
    click(2, Qt::NoModifier);
    click(0, Qt::ControlModifier); // rows 0 and 2, the focus on row 0
    QVERIFY(view->PanelText().startsWith(QStringLiteral("a.avi\n")));
    // Ctrl+click on the focused row deselects it; it keeps the focus and row 2 stays selected.
    click(0, Qt::ControlModifier);
    QCOMPARE(list->SelectedRows(), std::vector<int>{2});
    QCOMPARE(list->FocusRow(), 0);
    QVERIFY(view->PanelText().startsWith(QStringLiteral("c.avi\n")));
    // With no row selected any more the panel keeps its text.
    click(2, Qt::ControlModifier);
    QVERIFY(list->SelectedRows().empty());
    QVERIFY(view->PanelText().startsWith(QStringLiteral("c.avi\n")));
}

void PanelRefreshTest::noSelectionKeepsTheText() {
    auto view = ViewWith({"clip", "other"});
    view->List()->SelectOnly(0);
    view->List()->clearSelection();
    view->RefreshPanel();
    QCOMPARE(view->PanelText(), kExampleText);
}

void PanelRefreshTest::removingTheOnlyRowEmptiesThePanel() {
    auto view = ViewWith({"clip"});
    view->List()->SelectOnly(0);
    QCOMPARE(view->PanelText(), kExampleText);
    view->OnRemove();
    QCOMPARE(view->RowCount(), 0);
    QCOMPARE(view->PanelText(), QString());
}

void PanelRefreshTest::unknownFormatAndMissingStreams() {
    auto view = ViewWith({});
    auto unknown = ExampleRecord("odd");
    unknown->m_strDuration.clear();
    view->AppendSource(std::move(unknown), 0);
    auto silent = ExampleRecord("silent");
    silent->m_strAudio.clear();
    silent->m_strVideo = " h264, yuv420p";
    view->AppendSource(std::move(silent), 1);

    view->List()->SelectOnly(0);
    QCOMPARE(view->PanelText(), QStringLiteral("odd.avi\n\nUnknown file format."));
    view->List()->SelectOnly(1);
    QCOMPARE(view->PanelText(),
             QStringLiteral("silent.avi\n\nDuration:00:01:23.45 (83 s)\nBitrate:1014 kb/s\n"
                            "Video:\n  h264, yuv420p"));
}

QTEST_MAIN(PanelRefreshTest)
#include "panel_refresh_test.moc"

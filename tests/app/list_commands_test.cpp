// The source list commands of the form view: remove, remove all, move up and down, swap, the
// enabled rules, the Add dialog's filter and the take-over of sources after a view rebuild.
#include "app/velmora_view.h"
#include "common/gui/scripted_prompts.h"
#include "common/testkit.h"
#include "lang/resource_ids.h"
#include "sources/source_record.h"
#include "sources/ui/open_filter.h"
#include "sources/ui/source_list.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

std::unique_ptr<FileMediaFormat> Record(const std::string& strTitle, int nSeconds = 10) {
    auto record = std::make_unique<FileMediaFormat>();
    record->m_strPath = "/media/" + strTitle + ".avi";
    record->m_strTitle = strTitle;
    record->m_strExt = "avi";
    record->m_nDuration = nSeconds;
    record->m_nEnd = nSeconds;
    record->m_strDuration = "x (1 s)";
    record->m_strTargetFolder = "/out/";
    record->m_strTargetName = strTitle + "-cvt";
    record->m_strTargetExt = "mp4";
    return record;
}

// A view with rows r0 .. r<n-1>, record i at index i.
std::unique_ptr<CVelmoraView> ViewWithRows(int nRows) {
    auto view = std::make_unique<CVelmoraView>();
    view->OnInitialUpdate();
    for (int i = 0; i < nRows; ++i) {
        view->AppendSource(Record("r" + std::to_string(i)), i);
    }
    return view;
}

QStringList Names(const CVelmoraView& view) {
    QStringList names;
    for (int nRow = 0; nRow < view.RowCount(); ++nRow) {
        names << view.List()->Text(nRow, 0);
    }
    return names;
}

void Select(CVelmoraView& view, std::initializer_list<int> rows) {
    view.List()->clearSelection();
    for (const int nRow : rows) {
        view.List()->SetRowSelected(nRow, true);
    }
}

} // namespace

class ListCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void rowsShowTheRecord();
    void removeRowsOneAndThreeOfFive();
    void removeTheLastRowSelectsTheNewLast();
    void removeWithoutSelectionSelectsTheLastRow();
    void removeAllEmptiesListArrayAndPanel();
    void indexesAreNotReusedAfterRemovals();
    void moveUpWithRowsZeroAndTwoSelected();
    void moveUpAndDownMoveABlock();
    void moveDownOfTheLastRowChangesNothing();
    void swapRowsExchangesTextsDataAndSelection();
    void enabledRulesFollowTheRowCount();
    void addOffersTheMediaFilterAndCancelChangesNothing();
    void takeOverSourcesKeepsIndexesAndRows();

private:
    testkit::TempDir m_config;
};

void ListCommandsTest::initTestCase() {
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_config.Path()));
}

void ListCommandsTest::rowsShowTheRecord() {
    auto view = std::make_unique<CVelmoraView>();
    view->OnInitialUpdate();
    auto record = Record("clip", 3725);
    record->m_nStatus = kStatusDone;
    view->AppendSource(std::move(record), 0);
    CSourceList* list = view->List();
    QCOMPARE(list->columnCount(), 4);
    QCOMPARE(list->headerItem()->text(0), QStringLiteral("Source"));
    QCOMPARE(list->headerItem()->text(2), QStringLiteral("Convert Duration"));
    // The columns stay inside the list; "Target" gets twice the room of "Source".
    QVERIFY(list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2) +
                list->columnWidth(3) <=
            list->viewport()->width());
    QVERIFY(qAbs(list->columnWidth(1) - 2 * list->columnWidth(0)) <= 2);
    QCOMPARE(list->Text(0, 0), QStringLiteral("clip.avi"));
    QCOMPARE(list->Text(0, 1), QStringLiteral("clip-cvt.mp4"));
    QCOMPARE(list->Text(0, 2), QStringLiteral("00:00:00-01:02:05"));
    QCOMPARE(list->Text(0, 3), QStringLiteral("Done"));
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
    // Hours are not limited to two digits.
    QCOMPARE(ClockText(100 * 3600 + 61), QStringLiteral("100:01:01"));
    // The contract: the record of a row, nullptr for a bad row.
    QCOMPARE(view->RecordAtRow(0)->m_strTitle, std::string("clip"));
    QVERIFY(view->RecordAtRow(1) == nullptr);
    QVERIFY(view->RecordAtRow(-1) == nullptr);
}

void ListCommandsTest::removeRowsOneAndThreeOfFive() {
    auto view = ViewWithRows(5);
    Select(*view, {1, 3});
    view->OnRemove();
    QCOMPARE(Names(*view), (QStringList{"r0.avi", "r2.avi", "r4.avi"}));
    QCOMPARE(view->List()->SelectedRows(), std::vector<int>{1});
    QCOMPARE(view->List()->FocusRow(), 1);
    QVERIFY(view->Records().At(1) == nullptr);
    QVERIFY(view->Records().At(3) == nullptr);
    QCOMPARE(view->Records().Size(), 5);
    QCOMPARE(view->Records().Count(), 3);
    QVERIFY(view->PanelText().startsWith(QStringLiteral("r2.avi\n")));
}

void ListCommandsTest::removeTheLastRowSelectsTheNewLast() {
    auto view = ViewWithRows(3);
    Select(*view, {2});
    view->OnRemove();
    QCOMPARE(Names(*view), (QStringList{"r0.avi", "r1.avi"}));
    QCOMPARE(view->List()->SelectedRows(), std::vector<int>{1});
    QVERIFY(view->PanelText().startsWith(QStringLiteral("r1.avi\n")));
}

void ListCommandsTest::removeWithoutSelectionSelectsTheLastRow() {
    auto view = ViewWithRows(3);
    view->List()->clearSelection();
    view->OnRemove();
    QCOMPARE(view->RowCount(), 3);
    QCOMPARE(view->List()->SelectedRows(), std::vector<int>{2});
}

void ListCommandsTest::removeAllEmptiesListArrayAndPanel() {
    auto view = ViewWithRows(4);
    Select(*view, {0});
    QVERIFY(!view->PanelText().isEmpty());
    QSignalSpy states(view.get(), &CVelmoraView::commandStatesChanged);
    view->OnRemoveAll();
    QCOMPARE(view->RowCount(), 0);
    QCOMPARE(view->Records().Size(), 0);
    QCOMPARE(view->PanelText(), QString());
    QVERIFY(states.count() >= 1);
}

void ListCommandsTest::indexesAreNotReusedAfterRemovals() {
    auto view = ViewWithRows(8);
    Select(*view, {0, 1, 2, 3, 4, 5, 6});
    view->OnRemove();
    QCOMPARE(view->RowCount(), 1);
    QCOMPARE(view->List()->ItemData(0), 7);
    QCOMPARE(view->AppendSource(Record("new"), view->RowCount()), 8);
    QCOMPARE(view->List()->ItemData(1), 8);
    QCOMPARE(view->RecordAtRow(1)->m_strTitle, std::string("new"));
}

void ListCommandsTest::moveUpWithRowsZeroAndTwoSelected() {
    auto view = ViewWithRows(4);
    Select(*view, {0, 2});
    view->OnMoveUp();
    QCOMPARE(Names(*view), (QStringList{"r0.avi", "r2.avi", "r1.avi", "r3.avi"}));
    QCOMPARE(view->List()->SelectedRows(), (std::vector<int>{0, 1}));
    // Rows and records still belong together.
    QCOMPARE(view->RecordAtRow(1)->m_strTitle, std::string("r2"));
    QCOMPARE(view->RecordAtRow(2)->m_strTitle, std::string("r1"));
}

void ListCommandsTest::moveUpAndDownMoveABlock() {
    auto view = ViewWithRows(5);
    Select(*view, {2, 3});
    view->OnMoveUp();
    QCOMPARE(Names(*view), (QStringList{"r0.avi", "r2.avi", "r3.avi", "r1.avi", "r4.avi"}));
    QCOMPARE(view->List()->SelectedRows(), (std::vector<int>{1, 2}));
    view->OnMoveDown();
    view->OnMoveDown();
    QCOMPARE(Names(*view), (QStringList{"r0.avi", "r1.avi", "r4.avi", "r2.avi", "r3.avi"}));
    QCOMPARE(view->List()->SelectedRows(), (std::vector<int>{3, 4}));
    // At the bottom the block stays.
    view->OnMoveDown();
    QCOMPARE(Names(*view), (QStringList{"r0.avi", "r1.avi", "r4.avi", "r2.avi", "r3.avi"}));
}

void ListCommandsTest::moveDownOfTheLastRowChangesNothing() {
    auto view = ViewWithRows(3);
    Select(*view, {2});
    view->OnMoveDown();
    QCOMPARE(Names(*view), (QStringList{"r0.avi", "r1.avi", "r2.avi"}));
    QCOMPARE(view->List()->SelectedRows(), std::vector<int>{2});
    // Nothing selected: nothing moves.
    view->List()->clearSelection();
    view->OnMoveUp();
    view->OnMoveDown();
    QCOMPARE(Names(*view), (QStringList{"r0.avi", "r1.avi", "r2.avi"}));
}

void ListCommandsTest::swapRowsExchangesTextsDataAndSelection() {
    auto view = ViewWithRows(3);
    CSourceList* list = view->List();
    Select(*view, {0});
    list->SetFocusRow(0);
    QVERIFY(list->SwapRows(0, 2));
    QCOMPARE(Names(*view), (QStringList{"r2.avi", "r1.avi", "r0.avi"}));
    QCOMPARE(list->Text(0, 1), QStringLiteral("r2-cvt.mp4"));
    QCOMPARE(list->ItemData(0), 2);
    QCOMPARE(list->ItemData(2), 0);
    QCOMPARE(list->SelectedRows(), std::vector<int>{2});
    QCOMPARE(list->FocusRow(), 2);
    QVERIFY(list->SwapRows(1, 1));
    QVERIFY(!list->SwapRows(-1, 1));
    QVERIFY(!list->SwapRows(0, 3));
    QCOMPARE(Names(*view), (QStringList{"r2.avi", "r1.avi", "r0.avi"}));
}

void ListCommandsTest::enabledRulesFollowTheRowCount() {
    const int kRowCommands[] = {ids::kCmdRemove, ids::kCmdRemoveAll, ids::kCmdPreview,
                                ids::kCmdConvert};
    auto view = ViewWithRows(0);
    QSignalSpy states(view.get(), &CVelmoraView::commandStatesChanged);
    QVERIFY(view->IsCommandEnabled(ids::kCmdAdd));
    for (const int nCommand : kRowCommands) {
        QVERIFY(!view->IsCommandEnabled(nCommand));
    }
    QVERIFY(!view->IsCommandEnabled(ids::kCmdMoveUp));
    QVERIFY(!view->OnCommand(ids::kCmdRemove));   // disabled: not run
    QVERIFY(!view->OnCommand(ids::kCmdToolTips)); // not a view command

    view->AppendSource(Record("a"), 0);
    QCOMPARE(states.count(), 1);
    for (const int nCommand : kRowCommands) {
        QVERIFY(view->IsCommandEnabled(nCommand));
    }
    QVERIFY(!view->IsCommandEnabled(ids::kCmdMoveUp));
    QVERIFY(!view->IsCommandEnabled(ids::kCmdMoveDown));
    view->AppendSource(Record("b"), 1);
    QVERIFY(view->IsCommandEnabled(ids::kCmdMoveUp));
    QVERIFY(view->IsCommandEnabled(ids::kCmdMoveDown));
    // Preview is enabled; with no row selected it opens nothing.
    view->List()->clearSelection();
    QSignalSpy opened(view.get(), &CVelmoraView::previewOpened);
    QVERIFY(view->OnCommand(ids::kCmdPreview));
    QCOMPARE(opened.count(), 0);
    QCOMPARE(view->RowCount(), 2);
}

void ListCommandsTest::addOffersTheMediaFilterAndCancelChangesNothing() {
    auto view = ViewWithRows(2);
    Select(*view, {0});
    ScriptedPrompts prompts;
    prompts.AnswerFiles({});
    QVERIFY(view->OnCommand(ids::kCmdAdd));
    QCOMPARE(prompts.Count(), 1);
    QCOMPARE(prompts.At(0).kind, ScriptedPrompts::Kind::OpenFiles);
    QCOMPARE(prompts.At(0).filter, AddFilesFilter());
    QCOMPARE(view->RowCount(), 2);
    QCOMPARE(view->List()->SelectedRows(), std::vector<int>{0});
}

void ListCommandsTest::takeOverSourcesKeepsIndexesAndRows() {
    auto old = ViewWithRows(4);
    Select(*old, {1});
    old->OnRemove();
    Select(*old, {0, 2});
    old->OnMoveDown(); // rows now r2, r0, r3 ... with r0 moved down
    const QStringList oldNames = Names(*old);

    auto view = std::make_unique<CVelmoraView>();
    view->OnInitialUpdate();
    view->TakeOverSources(*old);
    QCOMPARE(Names(*view), oldNames);
    QCOMPARE(view->Records().Size(), 4);
    QVERIFY(view->Records().At(1) == nullptr);
    for (int nRow = 0; nRow < view->RowCount(); ++nRow) {
        QCOMPARE(view->List()->ItemData(nRow), old->List()->ItemData(nRow));
        QCOMPARE(view->List()->Text(nRow, 2), old->List()->Text(nRow, 2));
        // A copy, not the same record.
        QVERIFY(view->RecordAtRow(nRow) != old->RecordAtRow(nRow));
        QCOMPARE(view->RecordAtRow(nRow)->m_strPath, old->RecordAtRow(nRow)->m_strPath);
    }
    QVERIFY(view->List()->SelectedRows().empty());
    // The next record takes the next index, as it would have in the old view.
    QCOMPARE(view->AppendSource(Record("later"), view->RowCount()), 4);
}

QTEST_MAIN(ListCommandsTest)
#include "list_commands_test.moc"

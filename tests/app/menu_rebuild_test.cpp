// The menu rebuild on plain menus: removals at any depth, the Language menu's entries and checks,
// the About text, and menus shorter than the usual seven.
#include "app/menu_rebuild.h"
#include "lang/resource_ids.h"

#include <QTest>

namespace {

lang::MenuItem Item(int nCommand, const char* text) {
    lang::MenuItem item;
    item.nCommand = nCommand;
    item.strText = text;
    return item;
}

lang::MenuItem Popup(const char* text, std::vector<lang::MenuItem> children) {
    lang::MenuItem item;
    item.strText = text;
    item.children = std::move(children);
    return item;
}

bool Contains(const std::vector<lang::MenuItem>& items, int nCommand) {
    for (const lang::MenuItem& item : items) {
        if ((item.children.empty() && item.nCommand == nCommand) ||
            Contains(item.children, nCommand)) {
            return true;
        }
    }
    return false;
}

} // namespace

class MenuRebuildTest : public QObject {
    Q_OBJECT
private slots:
    void removesCommandsAtAnyDepth();
    void languageMenuListsEntriesWithTheCurrentChecked();
    void aboutItemNamesTheApplication();
    void shortMenuIsLeftAsItIs();
};

void MenuRebuildTest::removesCommandsAtAnyDepth() {
    lang::Menu menu;
    menu.items = {Popup(
        "&File", {Item(ids::kCmdNew, "&New"), Item(ids::kCmdAdd, "&Add..."),
                  Popup("Sub", {Item(ids::kCmdSave, "&Save"), Item(ids::kCmdRemove, "&Remove")})})};
    RemoveMenuCommands(menu, {ids::kCmdNew, ids::kCmdSave});
    QVERIFY(!Contains(menu.items, ids::kCmdNew));
    QVERIFY(!Contains(menu.items, ids::kCmdSave));
    QVERIFY(Contains(menu.items, ids::kCmdAdd));
    QVERIFY(Contains(menu.items, ids::kCmdRemove));
    QCOMPARE(menu.items[0].children.size(), std::size_t{2});
}

void MenuRebuildTest::languageMenuListsEntriesWithTheCurrentChecked() {
    lang::Menu menu;
    menu.items = {Popup("&File", {Item(ids::kCmdExit, "E&xit")}),
                  Popup("&Action", {Item(ids::kCmdConvert, "&Convert")}),
                  Popup("&Language", {Item(ids::kCmdLanguageFirst, "old"),
                                      Item(ids::kCmdLanguageFirst + 1, "old 2")})};
    const std::vector<LanguageEntry> entries = {
        BuiltinLanguageEntry(), {2052, "&Chinese", "/opt/LanResChsDll.so"}, {1031, "&Deutsch", ""}};
    lang::Menu shown = RebuiltMenu(menu, entries, 2052);
    const std::vector<lang::MenuItem>& items = shown.items[kLanguageMenuIndex].children;
    QCOMPARE(items.size(), std::size_t{3});
    QCOMPARE(items[0].strText, std::string("&English"));
    QCOMPARE(items[0].nCommand, ids::kCmdLanguageFirst);
    QCOMPARE(items[2].nCommand, ids::kCmdLanguageFirst + 2);
    QVERIFY(!items[0].bChecked);
    QVERIFY(items[1].bChecked);
    QVERIFY(!items[2].bChecked);

    // At a first start no language has been selected: nothing is checked.
    shown = RebuiltMenu(menu, {BuiltinLanguageEntry()}, 0);
    QCOMPARE(shown.items[kLanguageMenuIndex].children.size(), std::size_t{1});
    QVERIFY(!shown.items[kLanguageMenuIndex].children[0].bChecked);
    shown = RebuiltMenu(menu, {BuiltinLanguageEntry()}, 0x0409);
    QVERIFY(shown.items[kLanguageMenuIndex].children[0].bChecked);
}

void MenuRebuildTest::aboutItemNamesTheApplication() {
    lang::Menu menu;
    for (int i = 0; i < 6; ++i) {
        menu.items.push_back(Popup("x", {Item(ids::kCmdAbout, "elsewhere")}));
    }
    menu.items.push_back(Popup("&Help", {Item(ids::kCmdHelpContents, "&Contents..."),
                                         Item(ids::kCmdAbout, "&Uber Lumicast...")}));
    const lang::Menu shown = RebuiltMenu(menu, {BuiltinLanguageEntry()}, 0);
    QCOMPARE(shown.items[kHelpMenuIndex].children[1].strText, std::string("&About Lumicast ..."));
    // Only the Help menu's item is renamed.
    QCOMPARE(shown.items[0].children[0].strText, std::string("elsewhere"));
}

void MenuRebuildTest::shortMenuIsLeftAsItIs() {
    lang::Menu menu;
    menu.items = {Popup("&File", {Item(ids::kCmdOpen, "&Open"), Item(ids::kCmdExit, "E&xit")})};
    const lang::Menu shown = RebuiltMenu(menu, {BuiltinLanguageEntry()}, 0);
    QCOMPARE(shown.items.size(), std::size_t{1});
    QCOMPARE(shown.items[0].children.size(), std::size_t{1});
    QCOMPARE(RebuiltMenu(lang::Menu{}, {}, 0).items.size(), std::size_t{0});
}

QTEST_MAIN(MenuRebuildTest)
#include "menu_rebuild_test.moc"

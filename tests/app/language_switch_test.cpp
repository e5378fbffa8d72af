// Switching the interface language at run time with the German and Chinese modules beside the
// test program: the Language menu at a first start, a switch to German and back keeping the list
// and the settings, the stored "Language" and the notice, and a start in a stored language.
#include "app/app_start.h"
#include "app/form_settings.h"
#include "app/language_switch.h"
#include "app/main_frame.h"
#include "app/media_check.h"
#include "app/velmora_view.h"
#include "common/gui/gui_env.h"
#include "common/gui/scripted_prompts.h"
#include "lang/language_modules.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "profiles/settings.h"
#include "sources/source_record.h"
#include "sources/ui/source_list.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QTest>

namespace {

constexpr std::uint16_t kGerman = 1031;
constexpr std::uint16_t kChinese = 2052;

QMenu* LanguageMenu(CMainFrame& frame) {
    const QList<QAction*> tops = frame.menuBar()->actions();
    return tops.size() > 2 ? tops[2]->menu() : nullptr;
}

// The command of the Language item that names `nLanguage`, or 0.
int LanguageCommand(const CMainFrame& frame, std::uint16_t nLanguage) {
    const std::vector<LanguageEntry>& entries = frame.Languages();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].nLanguage == nLanguage) {
            return ids::kCmdLanguageFirst + static_cast<int>(i);
        }
    }
    return 0;
}

QStringList CheckedLanguages(CMainFrame& frame) {
    QStringList checked;
    for (const QAction* action : LanguageMenu(frame)->actions()) {
        if (action->isChecked()) {
            checked.append(action->text());
        }
    }
    return checked;
}

QStringList MenuTitles(const CMainFrame& frame) {
    QStringList titles;
    for (const QAction* top : frame.menuBar()->actions()) {
        titles.append(top->text());
    }
    return titles;
}

// The titles of menu 128 as the current resource set has them.
QStringList SetMenuTitles() {
    QStringList titles;
    for (const lang::MenuItem& top : CurrentResources().menus.at(ids::kMainFrame).items) {
        titles.append(QString::fromStdString(top.strText));
    }
    return titles;
}

// Text of a control of form 101 in the current resource set.
QString FormText(int nId) {
    for (const lang::DialogControl& control :
         CurrentResources().dialogs.at(ids::kDlgForm).controls) {
        if (control.nId == nId) {
            return QString::fromStdString(control.strText);
        }
    }
    return {};
}

std::unique_ptr<FileMediaFormat> Record(int n, std::int32_t nStatus) {
    auto record = std::make_unique<FileMediaFormat>();
    record->m_strTitle = "clip" + std::to_string(n);
    record->m_strPath = "/media/" + record->m_strTitle + ".avi";
    record->m_strExt = "avi";
    record->m_nDuration = 95 + n;
    record->m_nStart = 3 * n;
    record->m_nEnd = 60 + n;
    record->m_nStatus = nStatus;
    record->m_strDuration = "00:01:35.00 (95 s)";
    record->m_strTargetFolder = "/out/";
    record->m_strTargetName = record->m_strTitle + "-cvt";
    record->m_strTargetExt = "mp4";
    return record;
}

// What the list shows and holds, row by row: record index, file name, segment and status.
struct RowState {
    int nIndex = -1;
    QString strName;
    std::int32_t nStart = 0;
    std::int32_t nEnd = 0;
    std::int32_t nStatus = 0;
    QString strTarget;
    QString strDuration;
    bool operator==(const RowState&) const = default;
};

QList<RowState> Rows(CVelmoraView& view) {
    QList<RowState> rows;
    for (int row = 0; row < view.RowCount(); ++row) {
        const FileMediaFormat* record = view.RecordAtRow(row);
        if (record == nullptr) {
            rows.append(RowState{});
            continue;
        }
        rows.append({view.List()->ItemData(row), view.List()->Text(row, 0), record->m_nStart,
                     record->m_nEnd, record->m_nStatus, view.List()->Text(row, 1),
                     view.List()->Text(row, 2)});
    }
    return rows;
}

void CompareSettings(const profiles::ConversionSettings& a, const profiles::ConversionSettings& b) {
    QCOMPARE(a.m_nFormat, b.m_nFormat);
    QCOMPARE(a.m_nStandard, b.m_nStandard);
    QCOMPARE(a.m_nSizePos, b.m_nSizePos);
    QCOMPARE(a.m_strWidth, b.m_strWidth);
    QCOMPARE(a.m_strHeight, b.m_strHeight);
    QCOMPARE(a.m_nFrameRatePos, b.m_nFrameRatePos);
    QCOMPARE(a.m_nVideoBitRatePos, b.m_nVideoBitRatePos);
    QCOMPARE(a.m_bVariableBitRate, b.m_bVariableBitRate);
    QCOMPARE(a.m_strMaxRate, b.m_strMaxRate);
    QCOMPARE(a.m_strMinRate, b.m_strMinRate);
    QCOMPARE(a.m_nChannelsPos, b.m_nChannelsPos);
    QCOMPARE(a.m_nAudioBitRatePos, b.m_nAudioBitRatePos);
    QCOMPARE(a.m_nSampleRatePos, b.m_nSampleRatePos);
    QCOMPARE(a.m_nVolumePos, b.m_nVolumePos);
    QCOMPARE(a.m_strOutputFolder, b.m_strOutputFolder);
}

} // namespace

class LanguageSwitchTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstStartChecksNoLanguage();
    void switchToGermanAndBackKeepsListAndSettings();
    void storedChineseStartsInChinese();

private:
    std::unique_ptr<ScopedConfigFolder> m_config;
    std::unique_ptr<CMainFrame> m_frame;
};

void LanguageSwitchTest::init() {
    lang::ResetLanguageSelection();
    m_config = std::make_unique<ScopedConfigFolder>();
    WriteHiddenToolTips(); // no help window during the tests
}

void LanguageSwitchTest::cleanup() {
    if (m_frame) {
        ScriptedPrompts prompts;
        prompts.AnswerMessage(PromptResult::Ok);
        m_frame->close();
        m_frame.reset();
    }
    lang::ResetLanguageSelection();
    m_config.reset();
}

void LanguageSwitchTest::firstStartChecksNoLanguage() {
    m_frame = StartApplication();
    QVERIFY(m_frame != nullptr);
    QCOMPARE(lang::CurrentLanguageId(), std::uint16_t{0});
    QMenu* languages = LanguageMenu(*m_frame);
    QVERIFY(languages != nullptr);
    QStringList names;
    for (const QAction* action : languages->actions()) {
        names.append(action->text());
    }
    // English first, then the modules by name; nothing checked before a language is chosen.
    QCOMPARE(names.size(), 3);
    QCOMPARE(names[0], QStringLiteral("&English"));
    QCOMPARE(names[1], QStringLiteral("&Deutsch"));
    QCOMPARE(CheckedLanguages(*m_frame), QStringList());
    QCOMPARE(ReadLanguageSetting(), kNoLanguage);

    // Choosing the current language again changes nothing and leaves no stray check behind.
    ScriptedPrompts prompts;
    m_frame->Action(ids::kCmdLanguageFirst)->trigger();
    QCOMPARE(lang::CurrentLanguageId(), lang::kEnglishLanguageId);
    QCOMPARE(CheckedLanguages(*m_frame), QStringList({"&English"}));
    QCOMPARE(ReadLanguageSetting(), 1033);
    m_frame->Action(ids::kCmdLanguageFirst)->trigger();
    QCOMPARE(CheckedLanguages(*m_frame), QStringList({"&English"}));
    QCOMPARE(prompts.Count(), 0);
}

void LanguageSwitchTest::switchToGermanAndBackKeepsListAndSettings() {
    m_frame = StartApplication();
    QVERIFY(m_frame != nullptr);
    CVelmoraView* view = m_frame->View();
    const QString strEnglishTip = MediaFrameworkTip();

    // Six records, the third removed again: five rows over record indexes with a gap.
    const std::int32_t statuses[] = {kStatusReady, kStatusWaiting, kStatusDone,
                                     kStatusSkip,  kStatusError,   kStatusDone};
    for (int n = 0; n < 6; ++n) {
        view->AppendSource(Record(n, statuses[n]), n);
    }
    view->List()->SelectOnly(2);
    view->OnRemove();
    QCOMPARE(view->RowCount(), 5);

    profiles::ConversionSettings chosen = view->Settings();
    chosen.m_nFormat = 1;
    chosen.m_nStandard = 1;
    chosen.m_nSizePos = 0;
    chosen.m_strWidth = "320";
    chosen.m_strHeight = "240";
    chosen.m_nFrameRatePos = 2;
    chosen.m_nVideoBitRatePos = 5;
    chosen.m_bVariableBitRate = true;
    chosen.m_strMaxRate = "1500";
    chosen.m_strMinRate = "300";
    chosen.m_nChannelsPos = 1;
    chosen.m_nAudioBitRatePos = 4;
    chosen.m_nSampleRatePos = 2;
    chosen.m_nVolumePos = 7;
    view->SettingsControls()->Show(chosen);
    const profiles::ConversionSettings before = view->Settings();
    QCOMPARE(before.m_nFormat, 1);
    QVERIFY(before.m_bVariableBitRate);
    const QList<RowState> rowsBefore = Rows(*view);

    ScriptedPrompts prompts;
    prompts.AnswerMessage(PromptResult::Ok);
    const int nGermanCommand = LanguageCommand(*m_frame, kGerman);
    QVERIFY(nGermanCommand > ids::kCmdLanguageFirst);
    m_frame->Action(nGermanCommand)->trigger();

    QCOMPARE(lang::CurrentLanguageId(), kGerman);
    QCOMPARE(ReadLanguageSetting(), 1031);
    QCOMPARE(prompts.Count(), 1);
    QVERIFY(prompts.At(0).bScripted);
    QCOMPARE(prompts.At(0).icon, PromptIcon::Information);
    QCOMPARE(prompts.At(0).buttons, PromptButtons::Ok);
    QVERIFY(prompts.At(0).text.startsWith("If you find any translation error, please mail to "));
    QVERIFY(prompts.At(0).text.endsWith(", thanks a lot."));
    QVERIFY(prompts.At(0).text.contains(QLatin1String(kTranslationContact)));

    // A new form in German, holding what the old one held; the menus in German too.
    CVelmoraView* german = m_frame->View();
    QVERIFY(german != view);
    QCOMPARE(qobject_cast<CVelmoraView*>(m_frame->FormScroll()->widget()), german);
    QVERIFY(german->isVisible());
    QVERIFY(SetMenuTitles() != QStringList({"&File", "&Action", "&Language", "&Source Format",
                                            "&Target Format", "&Download", "&Help"}));
    QCOMPARE(MenuTitles(*m_frame), SetMenuTitles());
    QCOMPARE(m_frame->Action(ids::kCmdAbout)->text(), QStringLiteral("&About Lumicast ..."));
    QCOMPARE(CheckedLanguages(*m_frame), QStringList({"&Deutsch"}));
    QCOMPARE(qobject_cast<QAbstractButton*>(german->Control(ids::kCtlHideTips))->text(),
             FormText(ids::kCtlHideTips));
    QCOMPARE(qobject_cast<QLabel*>(german->Control(ids::kCtlTipLabel))->text(),
             MediaFrameworkTip());
    QVERIFY(MediaFrameworkTip() != strEnglishTip);
    QCOMPARE(m_frame->windowTitle(), QStringLiteral("Lumicast"));
    CompareSettings(german->Settings(), before);
    QCOMPARE(Rows(*german), rowsBefore);
    for (int row = 0; row < german->RowCount(); ++row) {
        QCOMPARE(german->List()->Text(row, 3).toStdString(),
                 StatusText(german->RecordAtRow(row)->m_nStatus));
    }
    QCOMPARE(german->List()->Text(4, 3).toStdString(), LoadResString(ids::kStrStatusDone));

    // The view's commands still reach the new form.
    german->List()->SelectOnly(0);
    QVERIFY(m_frame->OnCommand(ids::kCmdMoveDown));
    QCOMPARE(german->List()->Text(1, 0), rowsBefore[0].strName);
    QVERIFY(m_frame->OnCommand(ids::kCmdMoveUp));

    // Back to English: no notice, 1033 stored, everything kept again.
    m_frame->Action(ids::kCmdLanguageFirst)->trigger();
    QCOMPARE(lang::CurrentLanguageId(), lang::kEnglishLanguageId);
    QCOMPARE(ReadLanguageSetting(), 1033);
    QCOMPARE(prompts.Count(), 1);
    CVelmoraView* english = m_frame->View();
    QCOMPARE(MenuTitles(*m_frame), QStringList({"&File", "&Action", "&Language", "&Source Format",
                                                "&Target Format", "&Download", "&Help"}));
    QCOMPARE(CheckedLanguages(*m_frame), QStringList({"&English"}));
    QCOMPARE(MediaFrameworkTip(), strEnglishTip);
    CompareSettings(english->Settings(), before);
    QCOMPARE(Rows(*english), rowsBefore);
    QCOMPARE(english->List()->Text(4, 3), QStringLiteral("Done"));
}

void LanguageSwitchTest::storedChineseStartsInChinese() {
    WriteLanguageSetting(kChinese);
    m_frame = StartApplication();
    QVERIFY(m_frame != nullptr);
    QCOMPARE(lang::CurrentLanguageId(), kChinese);
    QCOMPARE(m_frame->Start().nLanguage, kChinese);
    QCOMPARE(MenuTitles(*m_frame), SetMenuTitles());
    QVERIFY(MenuTitles(*m_frame)[0] != QStringLiteral("&File"));
    const QString strName = QString::fromStdString(CurrentResources().strLanguageName);
    QCOMPARE(CheckedLanguages(*m_frame), QStringList({strName}));
    QCOMPARE(m_frame->Action(LanguageCommand(*m_frame, kChinese))->text(), strName);

    CVelmoraView* view = m_frame->View();
    QCOMPARE(qobject_cast<QAbstractButton*>(view->Control(ids::kCtlHideTips))->text(),
             FormText(ids::kCtlHideTips));
    QVERIFY(FormText(ids::kCtlHideTips) != QStringLiteral("Hide the tooltips"));
    QCOMPARE(view->List()->headerItem()->text(0).toStdString(), LoadResString(ids::kStrColSource));
    QVERIFY(view->List()->headerItem()->text(0) != QStringLiteral("Source"));
}

QTEST_MAIN(LanguageSwitchTest)
#include "language_switch_test.moc"

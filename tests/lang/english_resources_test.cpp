// The built-in English resource set, checked by what it must satisfy: every string id the code
// names resolves, every toolbar and menu command is where the frame looks for it, every control the
// code reaches is in its dialog and every control lies inside its dialog. The texts the system
// quotes as one value (a template's first text, a label, a limit) are kept letter for letter;
// the texts shown by the windows are checked where they are shown.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "common/testkit.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"

namespace {

// The constants of lang/resource_ids.h whose names start with the prefix ("kStr", "kCmd").
std::map<std::string, int> NamedIds(const std::string& prefix) {
    const std::string header = testkit::ReadFile(testkit::SourceDir() + "/lang/resource_ids.h");
    const std::regex constant("inline constexpr int (" + prefix + "\\w+) = (\\d+);");
    std::map<std::string, int> found;
    for (auto it = std::sregex_iterator(header.begin(), header.end(), constant);
         it != std::sregex_iterator(); ++it) {
        found[(*it)[1].str()] = std::stoi((*it)[2].str());
    }
    return found;
}

const lang::DialogControl* Control(const lang::DialogTemplate& dialog, int nId) {
    for (const auto& c : dialog.controls) {
        if (c.nId == nId) {
            return &c;
        }
    }
    return nullptr;
}

// Every command of a menu, walking into its pop-ups.
void Commands(const std::vector<lang::MenuItem>& items, std::vector<int>& commands) {
    for (const auto& item : items) {
        if (!item.bSeparator && item.children.empty()) {
            commands.push_back(item.nCommand);
        }
        Commands(item.children, commands);
    }
}

// The commands the frame takes out of the menu at start-up.
const std::set<int> kRemovedAtStartUp = {
    ids::kCmdNew,    ids::kCmdOpen,    ids::kCmdSave,   ids::kCmdSaveAs, ids::kCmdTgtMov,
    ids::kCmdTgtWmv, ids::kCmdTgt3gp,  ids::kCmdTgtOgm, ids::kCmdTgtAvi, ids::kCmdTgtDvd,
    ids::kCmdTgtVcd, ids::kCmdTgtSvcd, ids::kCmdTgtDv};

// The commands whose menu items carry no prompt.
const std::set<int> kWithoutPrompt = {ids::kCmdSrcVcdVob, ids::kCmdSrcMp4, ids::kCmdTgtH264};

TEST(EnglishResources, EveryStringTheCodeNamesResolves) {
    const auto& strings = BuiltinEnglish().strings;
    const std::map<std::string, int> named = NamedIds("kStr");
    ASSERT_GT(named.size(), 40U) << "the ids are read from lang/resource_ids.h";
    for (const auto& [name, id] : named) {
        const auto it = strings.find(id);
        ASSERT_NE(it, strings.end()) << name << " " << id;
        EXPECT_FALSE(it->second.empty()) << name;
    }
    // The texts the windows fill in take exactly the arguments the code passes.
    EXPECT_EQ(strings.at(ids::kStrDetecting), "Detecting selected files.\nNo.%d/%d: \"%s\"");
    EXPECT_EQ(strings.at(ids::kStrConvertStep),
              "Step %d/%d: From \"%s\" \n          to \"%s\" \n          Click \"Skip\" or "
              "\"Cancel\" to abort conversion.");
    EXPECT_EQ(strings.at(ids::kStrExitQuestion), "Thanks for using %s. Sure to exit?");
}

TEST(EnglishResources, EveryMenuCommandHasItsPromptAndTheToolbarOnlyMenuCommands) {
    const auto& set = BuiltinEnglish();
    ASSERT_EQ(set.menus.count(ids::kMainFrame), 1U);
    const auto& menu = set.menus.at(ids::kMainFrame).items;
    std::vector<int> commands;
    Commands(menu, commands);
    const std::set<int> unique(commands.begin(), commands.end());
    EXPECT_EQ(unique.size(), commands.size()) << "each command once";

    // Every command the code names is on the menu, but the language entries, which the frame
    // adds, and the tool tips command, which is the form's check box too.
    for (const auto& [name, id] : NamedIds("kCmd")) {
        if (name.rfind("kCmdLanguage", 0) == 0) {
            continue;
        }
        EXPECT_EQ(unique.count(id), 1U) << name;
    }
    // A command shown on the menu has a prompt, the informational ones aside (the language
    // entries are the frame's own).
    for (int id : commands) {
        if (id >= ids::kCmdLanguageFirst && id <= ids::kCmdLanguageLast) {
            continue;
        }
        const bool bPrompt = set.strings.count(id) == 1 && !set.strings.at(id).empty();
        const bool bAbout = id == ids::kCmdAbout || id == ids::kCmdExit;
        if (kRemovedAtStartUp.count(id) == 0 && !bAbout) {
            EXPECT_EQ(bPrompt, kWithoutPrompt.count(id) == 0) << id;
        }
    }
    EXPECT_EQ(set.strings.at(ids::kCmdSrcOther), "Other format supported by third-part.");

    // The toolbar: menu commands with a caption, separators only between buttons.
    ASSERT_FALSE(set.toolbar.empty());
    EXPECT_NE(set.toolbar.front().nCommand, 0);
    EXPECT_NE(set.toolbar.back().nCommand, 0);
    for (std::size_t i = 0; i < set.toolbar.size(); ++i) {
        const lang::ToolbarButton& button = set.toolbar[i];
        if (button.nCommand == 0) {
            EXPECT_NE(set.toolbar[i + 1].nCommand, 0) << "two separators at " << i;
            continue;
        }
        EXPECT_EQ(unique.count(button.nCommand), 1U) << button.nCommand;
        ASSERT_EQ(set.strings.count(button.nCaptionId), 1U) << button.nCaptionId;
        EXPECT_FALSE(set.strings.at(button.nCaptionId).empty());
    }
}

TEST(EnglishResources, TheMenuHasItsSevenPopupsWithDistinctKeys) {
    const auto& menu = BuiltinEnglish().menus.at(ids::kMainFrame).items;
    std::string titles;
    for (const auto& popup : menu) {
        titles += (titles.empty() ? "" : ", ") + popup.strText;
    }
    EXPECT_EQ(titles,
              "&File, &Action, &Language, &Source Format, &Target Format, &Download, &Help");
    // Within a pop-up no two items shown share their key (the letter after "&").
    for (const auto& popup : menu) {
        std::set<char> keys;
        for (const auto& item : popup.children) {
            if (kRemovedAtStartUp.count(item.nCommand) != 0) {
                continue;
            }
            const std::size_t amp = item.strText.find('&');
            if (amp != std::string::npos && amp + 1 < item.strText.size()) {
                const char key = static_cast<char>(
                    std::tolower(static_cast<unsigned char>(item.strText[amp + 1])));
                EXPECT_TRUE(keys.insert(key).second) << popup.strText << ": " << item.strText;
            }
        }
    }
    // The format menus only inform: every item is checked.
    for (const std::size_t nPopup : {3U, 4U}) {
        for (const auto& item : menu[nPopup].children) {
            EXPECT_TRUE(item.bSeparator || item.bChecked) << item.strText;
        }
    }
    // The five product pages come first on the Download menu, in the order of their ids.
    const auto& download = menu[5].children;
    ASSERT_GE(download.size(), 5U);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(download[static_cast<std::size_t>(i)].nCommand, ids::kCmdProductFirst + i);
    }
}

TEST(EnglishResources, EveryControlTheCodeReachesIsInItsDialogAndEveryControlInside) {
    const auto& dialogs = BuiltinEnglish().dialogs;
    const std::map<int, std::vector<int>> reached = {
        {ids::kDlgAbout, {ids::kCtlProduct, ids::kCtlVersion, ids::kCtlHyperlink, ids::kIdOk}},
        {ids::kDlgForm, {ids::kCtlSourceList,       ids::kCtlOutputPath,
                         ids::kCtlBrowse,           ids::kCtlGo,
                         ids::kCtlFormatLabel,      ids::kCtlTipLabel,
                         ids::kCtlSizeList,         ids::kCtlWidth,
                         ids::kCtlHeight,           ids::kCtlFrameRateList,
                         ids::kCtlVideoBitRateList, ids::kCtlMaxRate,
                         ids::kCtlMinRate,          ids::kCtlVolumeList,
                         ids::kCtlChannelsList,     ids::kCtlAudioBitRateList,
                         ids::kCtlSampleRateList,   ids::kCtlVariableBitRate,
                         ids::kCtlInfoText,         ids::kCtlHideTips}},
        {ids::kDlgConvert,
         {ids::kCtlStepText, ids::kCtlOverallBar, ids::kCtlCurrentBar, ids::kCtlSizeText,
          ids::kCtlSkipCurrent, ids::kCtlCancelAll}},
        {ids::kDlgPreview,
         {ids::kCtlPosition, ids::kCtlPlay, ids::kCtlPause, ids::kCtlStop, ids::kCtlStart,
          ids::kCtlEnd, ids::kCtlFull, ids::kCtlPreviewCancel, ids::kCtlStartTime, ids::kCtlEndTime,
          ids::kCtlDurationTime, ids::kCtlElapsedTime, ids::kCtlVolume, ids::kCtlBalance,
          ids::kCtlVideoArea, ids::kIdOk}},
        {ids::kDlgLoadSource, {ids::kCtlStepText, ids::kCtlOverallBar}},
        {ids::kDlgHelp, {ids::kCtlHelpHideTips}},
    };
    for (const auto& [nDialog, controls] : reached) {
        ASSERT_EQ(dialogs.count(nDialog), 1U) << nDialog;
        const lang::DialogTemplate& dialog = dialogs.at(nDialog);
        for (int nId : controls) {
            EXPECT_NE(Control(dialog, nId), nullptr) << "control " << nId << " of " << nDialog;
        }
    }
    for (const auto& [nDialog, dialog] : dialogs) {
        std::set<int> seen;
        for (const auto& c : dialog.controls) {
            SCOPED_TRACE("control " + std::to_string(c.nId) + " \"" + c.strText + "\" of dialog " +
                         std::to_string(nDialog));
            EXPECT_GE(c.x, 0);
            EXPECT_GE(c.y, 0);
            EXPECT_LE(c.x + c.cx, dialog.cx);
            EXPECT_LE(c.y + c.cy, dialog.cy);
            if (c.nId > 0) {
                EXPECT_TRUE(seen.insert(c.nId).second) << "an id names one control";
            }
        }
    }
}

TEST(EnglishResources, TemplatesCarryTheirQuotedTextsAndLimits) {
    const auto& dialogs = BuiltinEnglish().dialogs;
    const auto& convert = dialogs.at(ids::kDlgConvert);
    EXPECT_EQ(Control(convert, ids::kCtlStepText)->strText, "Prepare to convert...");
    EXPECT_EQ(Control(convert, ids::kCtlSizeText)->strText, "0k");
    EXPECT_TRUE(Control(convert, ids::kCtlSizeText)->style & lang::kStyleRightAlign);
    for (const auto& c : convert.controls) {
        EXPECT_NE(c.kind, lang::ControlKind::DefButton); // neither button is the default
    }

    const auto& preview = dialogs.at(ids::kDlgPreview);
    EXPECT_EQ(preview.strCaption, "Preview and select a part to convert");
    EXPECT_TRUE(Control(preview, ids::kCtlPosition)->style & lang::kStyleSelRange);
    EXPECT_TRUE(Control(preview, ids::kCtlStartTime)->style & lang::kStyleReadOnly);

    const auto& load = dialogs.at(ids::kDlgLoadSource);
    EXPECT_EQ(load.strCaption, "");
    EXPECT_EQ(Control(load, ids::kCtlStepText)->strText, "Detecting selected files...");

    const auto& help = dialogs.at(ids::kDlgHelp);
    EXPECT_EQ(Control(help, ids::kCtlHelpHideTips)->strText, "Hide the tooltips");
    bool bHelpText = false;
    for (const auto& c : help.controls) {
        bHelpText |= c.strText.rfind("Help 1-2-3-4\n\n   1. Add a media file or more to source "
                                     "list.\n",
                                     0) == 0;
    }
    EXPECT_TRUE(bHelpText);

    // The form hides what the product does not offer and limits its fields.
    const auto& form = dialogs.at(ids::kDlgForm);
    for (int id : {ids::kCtlFormatLabel, ids::kCtlVolumeList, ids::kCtlTipLabel}) {
        EXPECT_TRUE(Control(form, id)->style & lang::kStyleHidden) << id;
    }
    for (int id : {ids::kCtlSourceList, ids::kCtlInfoText, ids::kCtlSizeList, ids::kCtlWidth,
                   ids::kCtlHeight, ids::kCtlFrameRateList, ids::kCtlVideoBitRateList,
                   ids::kCtlVariableBitRate, ids::kCtlMaxRate, ids::kCtlMinRate,
                   ids::kCtlChannelsList, ids::kCtlAudioBitRateList, ids::kCtlSampleRateList,
                   ids::kCtlOutputPath, ids::kCtlBrowse, ids::kCtlGo, ids::kCtlHideTips}) {
        EXPECT_FALSE(Control(form, id)->style & lang::kStyleHidden) << id;
    }
    EXPECT_EQ(Control(form, ids::kCtlOutputPath)->nMaxLength, 256);
    EXPECT_TRUE(Control(form, ids::kCtlOutputPath)->style & lang::kStyleReadOnly);
    EXPECT_EQ(Control(form, ids::kCtlInfoText)->nMaxLength, 1024);
    EXPECT_TRUE(Control(form, ids::kCtlWidth)->style & lang::kStyleNumber);
    EXPECT_EQ(Control(form, ids::kCtlVariableBitRate)->strText, "Variable Bit Rate");
    EXPECT_EQ(Control(form, ids::kCtlTipLabel)->strText,
              "Tips: Please install Microsoft DirectX 9.0 or later. ( Click Menu/Download )");
}

} // namespace

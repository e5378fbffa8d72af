// The built-in English resource set: every quoted string-table text letter for letter, and the
// menu, toolbar and dialog templates the application is built from.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

#include "lang/resource_ids.h"
#include "lang/resource_strings.h"

namespace {

const std::pair<int, const char*> kExpectedStrings[] = {
    {100, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
    {61201, "Please restart the application after installing Ogg Codec package."},
    {61205, "Can't playback the following files."},
    {61207, "Conversion is canceled."},
    {61208, "Are you sure to cancel all convert tasks?"},
    {61209, "Conversion is completed."},
    {61210, "Please restart the application after installing Windows Media Player."},
    {61212, "Detecting selected files.\nNo.%d/%d: \"%s\""},
    {61215, "Step %d/%d: From \"%s\" \n          to \"%s\" \n          Click \"Skip\" or "
            "\"Cancel\" to abort conversion."},
    {61221, "Thanks for using %s. Sure to exit?"},
    {61222, "Please note the following reasons:\n1. This file is not an available media file or "
            "doesn't include audio data.\n2. You haven't installed Windows Media Player 9.0 or "
            "later.\n3. You need install Real Player when converting RM/RMVB/RAM.\n4. You need "
            "install QuickTime when converting QT/MOV.\n5. You need install other third-party "
            "codec.\n\nPlease click menu \"Download\" to get more."},
    {61225, "You need download and install Windows Media Player 9.0 or later before converting "
            "WMA and WMV format,\ndownload it now?"},
    {61226, "You need download and install Ogg Codec package before converting OGG format, "
            "\ndownload it now?"},
    {61242, "Please select output folder"},
    {61243, "Unknown file format . Please ensure your computer can playback the file normally."},
    {61308, "Add"},
    {61310, "Convert"},
    {61311, "Convert Duration"},
    {61313, "Error"},
    {61315, "Exit"},
    {61316, "Doing"},
    {61317, "Done"},
    {61319, "Move Up"},
    {61320, "Move Down"},
    {61322, "Preview"},
    {61323, "Ready"},
    {61324, "Remove"},
    {61325, "Remove All"},
    {61328, "Skip"},
    {61329, "Source"},
    {61330, "Status"},
    {61332, "Target"},
    {61335, "Waiting"},
    {61336, "Recommended"},
    {61337, "Keep Original"},
    {61338, "1 Channel, Mono"},
    {61339, "2 Channels, Stereo"},
    {61340, "Disable Audio"},
    // Status-bar prompts of menu commands.
    {32703, "RealMedia file"},
    {32708, "Mpeg file (MPEG,DVD,SVCD,VCD...)"},
    {32709, "Microsoft ASF file"},
    {32710, "Windows Media Video file"},
    {32712, "AVI file"},
    {32713, "QuickTime media file"},
    {32717, "Ogg media file"},
    {32718, "Other format supported by third-part."},
    {32719, "Mpeg4 file"},
    {32776, "Download Microsoft DirectX Runtime DLL Library."},
    {32778, "Download Microsoft Windows Media Player."},
    {32777, "Download RealPlayer."},
    {32779, "Download Apple QuickTime."},
    {32780, "Download Ogg Codec package."},
};

TEST(EnglishResources, StringTableHoldsEveryQuotedText) {
    const auto& strings = BuiltinEnglish().strings;
    for (const auto& [id, text] : kExpectedStrings) {
        auto it = strings.find(id);
        ASSERT_NE(it, strings.end()) << "id " << id;
        EXPECT_EQ(it->second, text) << "id " << id;
    }
    // The commands without a quoted prompt have none.
    for (int id : {32701, 32702, 32720}) {
        EXPECT_EQ(strings.count(id), 0U) << id;
    }
}

TEST(EnglishResources, EveryCommandOfTheToolbarAndMenuHasAPromptOrIsInformational) {
    const auto& set = BuiltinEnglish();
    for (const auto& button : set.toolbar) {
        if (button.nCommand != 0) {
            EXPECT_EQ(set.strings.count(button.nCommand), 1U) << button.nCommand;
            EXPECT_EQ(set.strings.count(button.nCaptionId), 1U) << button.nCaptionId;
        }
    }
}

const lang::MenuItem* FindCommand(const std::vector<lang::MenuItem>& items, int nCommand) {
    for (const auto& item : items) {
        if (item.nCommand == nCommand && !item.bSeparator && item.children.empty()) {
            return &item;
        }
        if (const auto* found = FindCommand(item.children, nCommand)) {
            return found;
        }
    }
    return nullptr;
}

// The menu as it shows after start-up removed the commands it does not offer.
std::vector<lang::MenuItem> ShownMenu(std::vector<lang::MenuItem> items) {
    static const std::set<int> removed = {57600, 57601, 57603, 57604, 32721, 32733, 32722,
                                          32723, 32730, 32725, 32724, 32726, 32727};
    std::vector<lang::MenuItem> out;
    for (auto& item : items) {
        if (!item.bSeparator && item.children.empty() && removed.count(item.nCommand) != 0) {
            continue;
        }
        item.children = ShownMenu(std::move(item.children));
        out.push_back(std::move(item));
    }
    return out;
}

// "text=id" for every entry, "-" for separators.
std::string Describe(const std::vector<lang::MenuItem>& items) {
    std::string out;
    for (const auto& item : items) {
        if (!out.empty()) {
            out += ", ";
        }
        out += item.bSeparator ? "-" : item.strText + "=" + std::to_string(item.nCommand);
    }
    return out;
}

TEST(EnglishResources, MenuHasTheSevenPopupsWithTheirCommands) {
    const auto& menus = BuiltinEnglish().menus;
    ASSERT_EQ(menus.count(128), 1U);
    const auto shown = ShownMenu(menus.at(128).items);
    ASSERT_EQ(shown.size(), 7U);
    EXPECT_EQ(Describe(shown), "&File=0, &Action=0, &Language=0, &Source Format=0, "
                               "&Target Format=0, &Download=0, &Help=0");
    EXPECT_EQ(Describe(shown[0].children),
              "&Add...=32801, &Remove=32803, Re&move All=32804, -, E&xit=57665");
    EXPECT_EQ(Describe(shown[1].children),
              "Move &Up=32805, Move &Down=32806, -, &Preview=32807, &Convert=32808");
    EXPECT_EQ(Describe(shown[3].children),
              "RM=32703, MPEG=32708, ASF=32709, WMV=32710, AVI=32712, MOV/QT=32713, "
              "OGG/OGM=32717, MP4=32702, VCD/VOB=32701, -, Other=32718");
    EXPECT_EQ(Describe(shown[4].children), "MPEG4=32719, H.264=32720");
    for (const auto& item : shown[3].children) {
        EXPECT_TRUE(item.bSeparator || item.bChecked) << item.strText;
    }
    const std::string download = Describe(shown[5].children);
    EXPECT_NE(download.find("-, Microsoft DirectX 9.0=32776, Windows Media Player 9.0=32778, "
                            "RealPlayer=32777, Quicktime Player=32779, -, Ogg Codec=32780"),
              std::string::npos);
    ASSERT_EQ(shown[5].children.size(), 12U);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(shown[5].children[static_cast<std::size_t>(i)].nCommand, 32771 + i);
    }
    EXPECT_EQ(Describe(shown[6].children), "&Contents...=32791, &Tool Tips=32792, -, "
                                           "&About Lumicast...=57664");

    // The full menu carries the commands that start-up removes.
    const auto& items = menus.at(128).items;
    for (int id : {57600, 57601, 57603, 57604, 32721, 32733, 32722, 32723, 32730, 32725, 32724,
                   32726, 32727}) {
        EXPECT_NE(FindCommand(items, id), nullptr) << id;
    }
}

TEST(EnglishResources, ToolbarButtonsAndCaptions) {
    const auto& toolbar = BuiltinEnglish().toolbar;
    const std::vector<std::pair<int, int>> expected = {
        {32801, 61308}, {32803, 61324}, {32804, 61325}, {0, 0}, {32805, 61319}, {32806, 61320},
        {0, 0},         {32807, 61322}, {32808, 61310}, {0, 0}, {57665, 61315}};
    ASSERT_EQ(toolbar.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(toolbar[i].nCommand, expected[i].first) << i;
        EXPECT_EQ(toolbar[i].nCaptionId, expected[i].second) << i;
    }
}

const lang::DialogControl* Control(const lang::DialogTemplate& dialog, int nId) {
    for (const auto& c : dialog.controls) {
        if (c.nId == nId) {
            return &c;
        }
    }
    return nullptr;
}

void ExpectRect(const lang::DialogTemplate& dialog, int nId, int x, int y, int cx, int cy) {
    const auto* c = Control(dialog, nId);
    ASSERT_NE(c, nullptr) << "control " << nId << " of dialog " << dialog.nId;
    EXPECT_EQ(std::vector<int>({c->x, c->y, c->cx, c->cy}), std::vector<int>({x, y, cx, cy}))
        << "control " << nId << " of dialog " << dialog.nId;
}

TEST(EnglishResources, DialogTemplatesHaveTheirControls) {
    const auto& dialogs = BuiltinEnglish().dialogs;
    for (int id : {100, 101, 106, 107, 137, 138}) {
        ASSERT_EQ(dialogs.count(id), 1U) << id;
    }

    const auto& convert = dialogs.at(106);
    EXPECT_EQ(convert.cx, 323);
    EXPECT_EQ(convert.cy, 121);
    ExpectRect(convert, 1030, 7, 7, 309, 26);
    ExpectRect(convert, 1026, 7, 50, 309, 14);
    ExpectRect(convert, 1028, 167, 68, 47, 8);
    ExpectRect(convert, 1025, 7, 80, 309, 14);
    ExpectRect(convert, 1036, 197, 102, 50, 14);
    ExpectRect(convert, 1022, 255, 102, 50, 14);
    EXPECT_EQ(Control(convert, 1030)->strText, "Prepare to convert...");
    EXPECT_EQ(Control(convert, 1028)->strText, "0k");
    EXPECT_TRUE(Control(convert, 1028)->style & lang::kStyleRightAlign);
    for (const auto& c : convert.controls) {
        EXPECT_NE(c.kind, lang::ControlKind::DefButton); // neither button is the default
    }

    const auto& preview = dialogs.at(107);
    EXPECT_EQ(preview.strCaption, "Preview and select a part to convert");
    EXPECT_EQ(preview.cx, 267);
    EXPECT_EQ(preview.cy, 292);
    EXPECT_EQ(preview.controls.size(), 29U);
    ExpectRect(preview, 1043, 7, 157, 250, 21);
    ExpectRect(preview, 1, 179, 181, 35, 15);
    ExpectRect(preview, 1037, 215, 181, 35, 15);
    ExpectRect(preview, 1059, 180, 223, 64, 12);
    ExpectRect(preview, 1062, 7, 7, 250, 150);
    EXPECT_TRUE(Control(preview, 1043)->style & lang::kStyleSelRange);
    EXPECT_TRUE(Control(preview, 1056)->style & lang::kStyleReadOnly);

    const auto& load = dialogs.at(137);
    EXPECT_EQ(load.strCaption, "");
    EXPECT_EQ(load.cx, 323);
    EXPECT_EQ(load.cy, 59);
    ExpectRect(load, 1030, 7, 7, 309, 23);
    ExpectRect(load, 1026, 7, 37, 309, 14);
    EXPECT_EQ(Control(load, 1030)->strText, "Detecting selected files...");

    const auto& help = dialogs.at(138);
    ASSERT_NE(Control(help, 1073), nullptr);
    EXPECT_EQ(Control(help, 1073)->strText, "Hide the tooltips");
    bool bHelpText = false;
    for (const auto& c : help.controls) {
        bHelpText |= c.strText.rfind("Help 1-2-3-4\n\n   1. Add a media file or more to source "
                                     "list.\n",
                                     0) == 0;
    }
    EXPECT_TRUE(bHelpText);

    const auto& about = dialogs.at(100);
    for (int id : {1046, 1103, 1032, 1}) {
        EXPECT_NE(Control(about, id), nullptr) << id;
    }
}

TEST(EnglishResources, FormTemplateFitsAndHidesWhatTheProductDoesNotOffer) {
    const auto& form = BuiltinEnglish().dialogs.at(101);
    EXPECT_EQ(form.cx, 479);
    EXPECT_EQ(form.cy, 255);
    for (const auto& c : form.controls) {
        EXPECT_GE(c.x, 0);
        EXPECT_GE(c.y, 0);
        EXPECT_LE(c.x + c.cx, form.cx) << c.nId << " " << c.strText;
        EXPECT_LE(c.y + c.cy, form.cy) << c.nId << " " << c.strText;
    }
    for (int id = 1004; id <= 1013; ++id) {
        const auto* c = Control(form, id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_EQ(c->kind, lang::ControlKind::RadioButton);
        EXPECT_EQ((c->style & lang::kStyleHidden) != 0, id >= 1006) << id;
    }
    for (int id : {1015, 1016, 1017, 1077, 1111, 1101}) {
        ASSERT_NE(Control(form, id), nullptr) << id;
        EXPECT_TRUE(Control(form, id)->style & lang::kStyleHidden) << id;
    }
    for (int id : {1000, 1210, 1103, 1104, 1105, 1106, 1107, 1118, 1109, 1110, 1112, 1113, 1114,
                   1001, 1002, 1003, 32792}) {
        ASSERT_NE(Control(form, id), nullptr) << id;
        EXPECT_FALSE(Control(form, id)->style & lang::kStyleHidden) << id;
    }
    EXPECT_EQ(Control(form, 1001)->nMaxLength, 256);
    EXPECT_TRUE(Control(form, 1001)->style & lang::kStyleReadOnly);
    EXPECT_EQ(Control(form, 1210)->nMaxLength, 1024);
    EXPECT_TRUE(Control(form, 1104)->style & lang::kStyleNumber);
    EXPECT_EQ(Control(form, 1118)->strText, "Variable Bit Rate");
    EXPECT_EQ(Control(form, 1101)->strText,
              "Tips: Please install Microsoft DirectX 9.0 or later. ( Click Menu/Download )");
}

} // namespace

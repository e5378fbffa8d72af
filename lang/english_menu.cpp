// The built-in English menu 128. It also carries New, Open, Save and Save As and the target format
// commands without a conversion path; the menu rebuild at start-up removes them.
#include "lang/english_parts.h"
#include "lang/resource_ids.h"

namespace lang {
namespace {

MenuItem Item(int nCommand, const char* szText, bool bChecked = false) {
    MenuItem item;
    item.nCommand = nCommand;
    item.strText = szText;
    item.bChecked = bChecked;
    return item;
}

MenuItem Separator() {
    MenuItem item;
    item.bSeparator = true;
    return item;
}

MenuItem Popup(const char* szText, std::vector<MenuItem> children) {
    MenuItem item;
    item.strText = szText;
    item.children = std::move(children);
    return item;
}

} // namespace

void AddEnglishMenu(ResourceSet& set) {
    Menu menu;
    menu.nId = ids::kMainFrame;
    menu.items = {
        Popup("&File",
              {Item(ids::kCmdNew, "&New\tCtrl+N"), Item(ids::kCmdOpen, "&Open...\tCtrl+O"),
               Item(ids::kCmdSave, "&Save\tCtrl+S"), Item(ids::kCmdSaveAs, "Save &As..."),
               Item(ids::kCmdAdd, "&Add..."), Item(ids::kCmdRemove, "&Remove"),
               Item(ids::kCmdRemoveAll, "Re&move All"), Separator(), Item(ids::kCmdExit, "E&xit")}),
        Popup("&Action", {Item(ids::kCmdMoveUp, "Move &Up"), Item(ids::kCmdMoveDown, "Move &Down"),
                          Separator(), Item(ids::kCmdPreview, "&Preview"),
                          Item(ids::kCmdConvert, "&Convert")}),
        Popup("&Language", {Item(ids::kCmdLanguageFirst, "&English")}),
        Popup("&Source Format",
              {Item(ids::kCmdSrcRm, "RM", true), Item(ids::kCmdSrcMpeg, "MPEG", true),
               Item(ids::kCmdSrcAsf, "ASF", true), Item(ids::kCmdSrcWmv, "WMV", true),
               Item(ids::kCmdSrcAvi, "AVI", true), Item(ids::kCmdSrcMovQt, "MOV/QT", true),
               Item(ids::kCmdSrcOggOgm, "OGG/OGM", true), Item(ids::kCmdSrcMp4, "MP4", true),
               Item(ids::kCmdSrcVcdVob, "VCD/VOB", true), Separator(),
               Item(ids::kCmdSrcOther, "Other", true)}),
        Popup("&Target Format",
              {Item(ids::kCmdTgtMpeg4, "MPEG4", true), Item(ids::kCmdTgtH264, "H.264", true),
               Item(ids::kCmdTgtMov, "MOV", true), Item(ids::kCmdTgtWmv, "WMV", true),
               Item(ids::kCmdTgt3gp, "3GP", true), Item(ids::kCmdTgtOgm, "OGM", true),
               Item(ids::kCmdTgtAvi, "AVI", true), Item(ids::kCmdTgtDvd, "DVD", true),
               Item(ids::kCmdTgtVcd, "VCD", true), Item(ids::kCmdTgtSvcd, "SVCD", true),
               Item(ids::kCmdTgtDv, "DV", true)}),
        Popup("&Download", {Item(ids::kCmdProductFirst + 0, "Lumicast"),
                            Item(ids::kCmdProductFirst + 1, "lumicast-batch"),
                            Item(ids::kCmdProductFirst + 2, "Kestrelvx"),
                            Item(ids::kCmdProductFirst + 3, "Language Modules"),
                            Item(ids::kCmdProductFirst + 4, "Source Code"), Separator(),
                            Item(ids::kCmdDirectX, "Microsoft DirectX 9.0"),
                            Item(ids::kCmdMediaPlayer, "Windows Media Player 9.0"),
                            Item(ids::kCmdRealPlayer, "RealPlayer"),
                            Item(ids::kCmdQuickTime, "Quicktime Player"), Separator(),
                            Item(ids::kCmdOggCodec, "Ogg Codec")}),
        Popup("&Help",
              {Item(ids::kCmdHelpContents, "&Contents..."), Item(ids::kCmdToolTips, "&Tool Tips"),
               Separator(), Item(ids::kCmdAbout, "&About Lumicast...")}),
    };
    set.menus[menu.nId] = std::move(menu);
}

} // namespace lang

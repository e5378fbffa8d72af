// The built-in English dialog templates: About (100), the form (101), conversion progress (106),
// preview (107), loading pass (137) and the start-up help window (138). Rectangles are in dialog
// units.
#include "lang/english_parts.h"
#include "lang/resource_ids.h"

namespace lang {
namespace {

constexpr int kNoId = -1;

DialogControl Ctl(int nId, ControlKind kind, const char* szText, int x, int y, int cx, int cy,
                  std::uint32_t style = kStyleNone, int nMaxLength = 0) {
    DialogControl c;
    c.nId = nId;
    c.kind = kind;
    c.strText = szText;
    c.x = x;
    c.y = y;
    c.cx = cx;
    c.cy = cy;
    c.style = style;
    c.nMaxLength = nMaxLength;
    return c;
}

DialogTemplate AboutDialog() {
    DialogTemplate d;
    d.nId = ids::kDlgAbout;
    d.strCaption = "About Lumicast";
    d.cx = 235;
    d.cy = 83;
    d.controls = {
        Ctl(kNoId, ControlKind::Picture, "", 11, 14, 21, 20),
        Ctl(ids::kCtlProduct, ControlKind::Static, "Lumicast ( tm )", 40, 10, 119, 8),
        Ctl(ids::kCtlVersion, ControlKind::Static, "Version 1.0.0", 40, 24, 119, 8),
        Ctl(kNoId, ControlKind::Static, "Copyright (C) Velmora. All rights reserved.", 40, 38, 188,
            8),
        Ctl(ids::kCtlHyperlink, ControlKind::Hyperlink, "", 40, 56, 150, 8),
        Ctl(ids::kIdOk, ControlKind::DefButton, "OK", 178, 7, 50, 14, kStyleGroupStart),
    };
    return d;
}

DialogTemplate FormDialog() {
    DialogTemplate d;
    d.nId = ids::kDlgForm;
    d.cx = 479;
    d.cy = 255;
    auto& c = d.controls;

    // Source list and information text.
    c.push_back(Ctl(ids::kCtlSourceList, ControlKind::ListView, "", 7, 7, 300, 94, kStyleBorder));
    c.push_back(Ctl(ids::kCtlInfoText, ControlKind::Edit, "", 312, 7, 160, 94,
                    kStyleReadOnly | kStyleMultiline | kStyleBorder | kStyleHScroll |
                        kStyleVScroll | kStyleNoWrap,
                    1024));

    // Conversion settings: format buttons (only MPEG-4 and H.264 shown) and the hidden standards.
    c.push_back(Ctl(kNoId, ControlKind::GroupBox, "Conversion Settings", 7, 104, 465, 28));
    c.push_back(Ctl(kNoId, ControlKind::Static, "Type:", 14, 117, 22, 8));
    static const char* const kFormatTexts[] = {"MPEG-4", "H.264", "DVD",  "WMV", "3GP",
                                               "OGM",    "VCD",   "SVCD", "DV",  "AVI"};
    for (int i = 0; i < 10; ++i) {
        const bool bShown = i < 2;
        const int x = bShown ? 40 + i * 54 : 148 + (i - 2) * 30;
        const int cx = bShown ? 50 : 28;
        std::uint32_t style = kStylePushLike | (bShown ? kStyleNone : kStyleHidden);
        if (i == 0) {
            style |= kStyleGroupStart;
        }
        c.push_back(Ctl(ids::kCtlFormatFirst + i, ControlKind::RadioButton, kFormatTexts[i], x, 114,
                        cx, 14, style));
    }
    c.push_back(
        Ctl(ids::kCtlFormatLabel, ControlKind::Static, "Format:", 390, 117, 26, 8, kStyleHidden));
    static const char* const kStandardTexts[] = {"NTSC", "PAL", "NTSC-Film"};
    for (int i = 0; i < 3; ++i) {
        std::uint32_t style = kStyleHidden | (i == 0 ? kStyleGroupStart : kStyleNone);
        c.push_back(Ctl(ids::kCtlStandardFirst + i, ControlKind::RadioButton, kStandardTexts[i],
                        418 + i * 18, 116, 17, 10, style));
    }

    // Video settings.
    c.push_back(Ctl(kNoId, ControlKind::GroupBox, "Video Settings", 7, 134, 465, 46));
    c.push_back(Ctl(kNoId, ControlKind::Static, "Size:", 14, 148, 24, 8));
    c.push_back(Ctl(ids::kCtlSizeList, ControlKind::ComboBox, "", 42, 146, 120, 12));
    c.push_back(Ctl(kNoId, ControlKind::Static, "X=", 168, 148, 10, 8));
    c.push_back(
        Ctl(ids::kCtlWidth, ControlKind::Edit, "0", 180, 146, 30, 12, kStyleNumber | kStyleBorder));
    c.push_back(Ctl(kNoId, ControlKind::Static, "Y=", 214, 148, 10, 8));
    c.push_back(Ctl(ids::kCtlHeight, ControlKind::Edit, "0", 226, 146, 30, 12,
                    kStyleNumber | kStyleBorder));
    c.push_back(Ctl(kNoId, ControlKind::Static, "Framerate:", 264, 148, 36, 8));
    c.push_back(Ctl(ids::kCtlFrameRateList, ControlKind::ComboBox, "", 302, 146, 80, 12));
    c.push_back(Ctl(kNoId, ControlKind::Static, "Bitrate:", 14, 164, 26, 8));
    c.push_back(Ctl(ids::kCtlVideoBitRateList, ControlKind::ComboBox, "", 42, 162, 120, 12));
    c.push_back(Ctl(ids::kCtlVariableBitRate, ControlKind::CheckBox, "Variable Bit Rate", 168, 163,
                    72, 10));
    c.push_back(Ctl(kNoId, ControlKind::Static, "Max:", 244, 164, 17, 8));
    c.push_back(Ctl(ids::kCtlMaxRate, ControlKind::Edit, "", 263, 162, 34, 12,
                    kStyleNumber | kStyleBorder | kStyleDisabled));
    c.push_back(Ctl(kNoId, ControlKind::Static, "kbps", 300, 164, 17, 8));
    c.push_back(Ctl(kNoId, ControlKind::Static, "Min:", 324, 164, 16, 8));
    c.push_back(Ctl(ids::kCtlMinRate, ControlKind::Edit, "", 342, 162, 34, 12,
                    kStyleNumber | kStyleBorder | kStyleDisabled));
    c.push_back(Ctl(kNoId, ControlKind::Static, "kbps", 379, 164, 17, 8));

    // Audio settings (the volume list and its label are hidden).
    c.push_back(Ctl(kNoId, ControlKind::GroupBox, "Audio Settings", 7, 182, 465, 30));
    c.push_back(Ctl(kNoId, ControlKind::Static, "Channels:", 14, 196, 34, 8));
    c.push_back(Ctl(ids::kCtlChannelsList, ControlKind::ComboBox, "", 50, 194, 88, 12));
    c.push_back(Ctl(kNoId, ControlKind::Static, "Bitrate:", 144, 196, 26, 8));
    c.push_back(Ctl(ids::kCtlAudioBitRateList, ControlKind::ComboBox, "", 172, 194, 128, 12));
    c.push_back(Ctl(kNoId, ControlKind::Static, "Samplerate:", 306, 196, 40, 8));
    c.push_back(Ctl(ids::kCtlSampleRateList, ControlKind::ComboBox, "", 348, 194, 64, 12));
    c.push_back(
        Ctl(ids::kCtlVolumeLabel, ControlKind::Static, "Volume:", 416, 196, 26, 8, kStyleHidden));
    c.push_back(
        Ctl(ids::kCtlVolumeList, ControlKind::ComboBox, "", 440, 194, 28, 12, kStyleHidden));

    // Path information.
    c.push_back(Ctl(kNoId, ControlKind::GroupBox, "Path Information ", 7, 214, 465, 28));
    c.push_back(Ctl(kNoId, ControlKind::Static, "Output Path:", 14, 228, 42, 8));
    c.push_back(Ctl(ids::kCtlOutputPath, ControlKind::Edit, "", 58, 226, 298, 12,
                    kStyleReadOnly | kStyleBorder, 256));
    c.push_back(Ctl(ids::kCtlBrowse, ControlKind::Button, "Browse...", 362, 225, 50, 14));
    c.push_back(Ctl(ids::kCtlGo, ControlKind::Button, "Go", 416, 225, 50, 14));

    // Bottom line.
    c.push_back(Ctl(ids::kCtlHideTips, ControlKind::CheckBox, "Hide the tooltips", 7, 244, 80, 10));
    c.push_back(Ctl(ids::kCtlTipLabel, ControlKind::Static,
                    "Tips: Please install Microsoft DirectX 9.0 or later. ( Click Menu/Download )",
                    92, 245, 380, 8, kStyleHidden));
    return d;
}

DialogTemplate ConvertDialog() {
    DialogTemplate d;
    d.nId = ids::kDlgConvert;
    d.strCaption = "Convert Video to iPod Video formats";
    d.cx = 323;
    d.cy = 121;
    d.controls = {
        Ctl(ids::kCtlStepText, ControlKind::Static, "Prepare to convert...", 7, 7, 309, 26),
        Ctl(kNoId, ControlKind::Static, "Overall Progress:", 13, 39, 69, 8),
        Ctl(ids::kCtlOverallBar, ControlKind::ProgressBar, "", 7, 50, 309, 14),
        Ctl(kNoId, ControlKind::Static, "Current Progress:", 13, 68, 69, 8),
        Ctl(kNoId, ControlKind::Static, "File Size:", 132, 68, 29, 8),
        Ctl(ids::kCtlSizeText, ControlKind::Static, "0k", 167, 68, 47, 8, kStyleRightAlign),
        Ctl(ids::kCtlCurrentBar, ControlKind::ProgressBar, "", 7, 80, 309, 14),
        Ctl(ids::kCtlSkipCurrent, ControlKind::Button, "Skip Current", 197, 102, 50, 14),
        Ctl(ids::kCtlCancelAll, ControlKind::Button, "Cancel All", 255, 102, 50, 14),
    };
    return d;
}

DialogTemplate PreviewDialog() {
    DialogTemplate d;
    d.nId = ids::kDlgPreview;
    d.strCaption = "Preview and select a part to convert";
    d.cx = 267;
    d.cy = 292;
    const std::uint32_t kTimeStyle = kStyleReadOnly | kStyleBorder;
    d.controls = {
        Ctl(kNoId, ControlKind::Static, "Start Time:", 19, 210, 34, 8),
        Ctl(ids::kCtlPosition, ControlKind::Trackbar, "", 7, 157, 250, 21,
            kStyleAutoTicks | kStyleSelRange),
        Ctl(kNoId, ControlKind::GroupBox, "", 7, 174, 250, 25),
        Ctl(kNoId, ControlKind::GroupBox, "Information", 7, 200, 250, 40),
        Ctl(kNoId, ControlKind::GroupBox, "Volume", 7, 240, 122, 28),
        Ctl(kNoId, ControlKind::GroupBox, "Balance", 135, 240, 122, 28),
        Ctl(ids::kCtlPlay, ControlKind::Button, "Play", 11, 181, 24, 15),
        Ctl(ids::kCtlPause, ControlKind::Button, "Pause", 35, 181, 24, 15),
        Ctl(ids::kCtlStop, ControlKind::Button, "Stop", 59, 181, 24, 15),
        Ctl(ids::kCtlStart, ControlKind::Button, "Start", 89, 181, 24, 15),
        Ctl(ids::kCtlEnd, ControlKind::Button, "End", 113, 181, 24, 15),
        Ctl(ids::kCtlFull, ControlKind::Button, "Full", 137, 181, 24, 15),
        Ctl(ids::kIdOk, ControlKind::Button, "OK", 179, 181, 35, 15),
        Ctl(ids::kCtlPreviewCancel, ControlKind::Button, "Cancel", 215, 181, 35, 15),
        Ctl(kNoId, ControlKind::Static, "Duration:", 19, 224, 31, 8),
        Ctl(kNoId, ControlKind::Static, "End Time:", 132, 210, 32, 8),
        Ctl(kNoId, ControlKind::Static, "Elapsed Time:", 132, 224, 45, 8),
        Ctl(ids::kCtlStartTime, ControlKind::Edit, "", 57, 209, 64, 12, kTimeStyle),
        Ctl(ids::kCtlEndTime, ControlKind::Edit, "", 180, 209, 64, 12, kTimeStyle),
        Ctl(ids::kCtlDurationTime, ControlKind::Edit, "", 57, 223, 64, 12, kTimeStyle),
        Ctl(ids::kCtlElapsedTime, ControlKind::Edit, "", 180, 223, 64, 12, kTimeStyle),
        Ctl(ids::kCtlVolume, ControlKind::Trackbar, "", 13, 248, 110, 11, kStyleAutoTicks),
        Ctl(ids::kCtlBalance, ControlKind::Trackbar, "", 141, 248, 110, 11, kStyleAutoTicks),
        Ctl(kNoId, ControlKind::Static, "Min", 16, 259, 12, 8),
        Ctl(kNoId, ControlKind::Static, "Max", 110, 259, 14, 8),
        Ctl(kNoId, ControlKind::Static, "Left", 143, 259, 14, 8),
        Ctl(kNoId, ControlKind::Static, "Right", 233, 259, 17, 8),
        Ctl(kNoId, ControlKind::Static,
            "? You can select a part from the full duration to convert.", 15, 272, 187, 13),
        Ctl(ids::kCtlVideoArea, ControlKind::Picture, "", 7, 7, 250, 150),
    };
    return d;
}

DialogTemplate LoadSourceDialog() {
    DialogTemplate d;
    d.nId = ids::kDlgLoadSource;
    d.cx = 323;
    d.cy = 59;
    d.controls = {
        Ctl(ids::kCtlStepText, ControlKind::Static, "Detecting selected files...", 7, 7, 309, 23),
        Ctl(ids::kCtlOverallBar, ControlKind::ProgressBar, "", 7, 37, 309, 14),
    };
    return d;
}

DialogTemplate HelpDialog() {
    DialogTemplate d;
    d.nId = ids::kDlgHelp;
    d.cx = 232;
    d.cy = 92;
    d.controls = {
        Ctl(kNoId, ControlKind::Static,
            "Help 1-2-3-4\n"
            "\n"
            "   1. Add a media file or more to source list.\n"
            "   2. Preview it or set the convert part, full duration is default.\n"
            "   3. Select and set the target format.\n"
            "   4. OK, Convert it.",
            7, 7, 218, 60),
        Ctl(ids::kCtlHelpHideTips, ControlKind::CheckBox, "Hide the tooltips", 7, 74, 80, 10),
    };
    return d;
}

} // namespace

void AddEnglishDialogs(ResourceSet& set) {
    for (DialogTemplate d : {AboutDialog(), FormDialog(), ConvertDialog(), PreviewDialog(),
                             LoadSourceDialog(), HelpDialog()}) {
        const int nId = d.nId;
        set.dialogs[nId] = std::move(d);
    }
}

} // namespace lang

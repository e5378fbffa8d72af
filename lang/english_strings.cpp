// The built-in English string table.
#include "lang/english_parts.h"
#include "lang/resource_ids.h"

namespace lang {

void AddEnglishStrings(ResourceSet& set) {
    auto& s = set.strings;

    // Document string and start-up.
    s[ids::kMainFrame] = "Lumicast\n\nLumicast\n\n\nLumicast.Document\nLumicast Document";
    s[ids::kStrOleInitFailed] =
        "OLE initialization failed.  Make sure that the OLE libraries are the correct version.";

    // Messages and questions.
    s[ids::kStrRestartAfterOgg] =
        "Please restart the application after installing Ogg Codec package.";
    s[ids::kStrCantPlayback] = "Can't playback the following files.";
    s[ids::kStrConversionCanceled] = "Conversion is canceled.";
    s[ids::kStrConfirmCancelAll] = "Are you sure to cancel all convert tasks?";
    s[ids::kStrConversionCompleted] = "Conversion is completed.";
    s[ids::kStrRestartAfterWmp] =
        "Please restart the application after installing Windows Media Player.";
    s[ids::kStrDetecting] = "Detecting selected files.\nNo.%d/%d: \"%s\"";
    s[ids::kStrConvertStep] = "Step %d/%d: From \"%s\" \n          to \"%s\" \n          Click "
                              "\"Skip\" or \"Cancel\" to abort conversion.";
    s[ids::kStrExitQuestion] = "Thanks for using %s. Sure to exit?";
    s[ids::kStrFailureReasons] =
        "Please note the following reasons:\n"
        "1. This file is not an available media file or doesn't include audio data.\n"
        "2. You haven't installed Windows Media Player 9.0 or later.\n"
        "3. You need install Real Player when converting RM/RMVB/RAM.\n"
        "4. You need install QuickTime when converting QT/MOV.\n"
        "5. You need install other third-party codec.\n"
        "\n"
        "Please click menu \"Download\" to get more.";
    s[ids::kStrNeedMediaPlayer] = "You need download and install Windows Media Player 9.0 or later "
                                  "before converting WMA and WMV format,\ndownload it now?";
    s[ids::kStrNeedOggCodec] = "You need download and install Ogg Codec package before converting "
                               "OGG format, \ndownload it now?";
    s[ids::kStrSelectOutputFolder] = "Please select output folder";
    s[ids::kStrUnknownFormat] =
        "Unknown file format . Please ensure your computer can playback the file normally.";

    // Toolbar captions.
    s[ids::kStrAdd] = "Add";
    s[ids::kStrRemove] = "Remove";
    s[ids::kStrRemoveAll] = "Remove All";
    s[ids::kStrMoveUp] = "Move Up";
    s[ids::kStrMoveDown] = "Move Down";
    s[ids::kStrPreview] = "Preview";
    s[ids::kStrConvert] = "Convert";
    s[ids::kStrExit] = "Exit";

    // Source list columns and statuses.
    s[ids::kStrColSource] = "Source";
    s[ids::kStrColTarget] = "Target";
    s[ids::kStrColDuration] = "Convert Duration";
    s[ids::kStrColStatus] = "Status";
    s[ids::kStrStatusReady] = "Ready";
    s[ids::kStrStatusWaiting] = "Waiting";
    s[ids::kStrStatusDoing] = "Doing";
    s[ids::kStrStatusSkip] = "Skip";
    s[ids::kStrStatusDone] = "Done";
    s[ids::kStrStatusError] = "Error";

    // Settings list words.
    s[ids::kStrRecommended] = "Recommended";
    s[ids::kStrKeepOriginal] = "Keep Original";
    s[ids::kStrMono] = "1 Channel, Mono";
    s[ids::kStrStereo] = "2 Channels, Stereo";
    s[ids::kStrDisableAudio] = "Disable Audio";

    // The form's tip label when the media framework is missing (the argument names its packages).
    s[ids::kStrMediaFrameworkTip] = "Tips: Please install GStreamer ( %s ) to preview files.";

    // Status bar.
    s[ids::kStrIdleMessage] = "Ready";
    s[ids::kStrIndicatorCaps] = "CAP";
    s[ids::kStrIndicatorNum] = "NUM";
    s[ids::kStrIndicatorScroll] = "SCRL";

    // Status-bar prompts of the commands ("prompt\ntool tip").
    s[ids::kCmdNew] = "Create a new document\nNew";
    s[ids::kCmdOpen] = "Open an existing document\nOpen";
    s[ids::kCmdSave] = "Save the active document\nSave";
    s[ids::kCmdSaveAs] = "Save the active document with a new name\nSave As";
    s[ids::kCmdAbout] = "Display program information, version number and copyright\nAbout";
    s[ids::kCmdExit] = "Quit the application\nExit";
    s[ids::kCmdAdd] = "Add media files to the source list\nAdd";
    s[ids::kCmdRemove] = "Remove the selected files from the source list\nRemove";
    s[ids::kCmdRemoveAll] = "Remove every file from the source list\nRemove All";
    s[ids::kCmdMoveUp] = "Move the selected files up one place\nMove Up";
    s[ids::kCmdMoveDown] = "Move the selected files down one place\nMove Down";
    s[ids::kCmdPreview] = "Preview the selected file and choose the part to convert\nPreview";
    s[ids::kCmdConvert] = "Convert every file of the source list\nConvert";
    s[ids::kCmdSrcRm] = "RealMedia file";
    s[ids::kCmdSrcMpeg] = "Mpeg file (MPEG,DVD,SVCD,VCD...)";
    s[ids::kCmdSrcAsf] = "Microsoft ASF file";
    s[ids::kCmdSrcWmv] = "Windows Media Video file";
    s[ids::kCmdSrcAvi] = "AVI file";
    s[ids::kCmdSrcMovQt] = "QuickTime media file";
    s[ids::kCmdSrcOggOgm] = "Ogg media file";
    s[ids::kCmdSrcOther] = "Other format supported by third-part.";
    s[ids::kCmdTgtMpeg4] = "Mpeg4 file";
    s[ids::kCmdDirectX] = "Download Microsoft DirectX Runtime DLL Library.";
    s[ids::kCmdMediaPlayer] = "Download Microsoft Windows Media Player.";
    s[ids::kCmdRealPlayer] = "Download RealPlayer.";
    s[ids::kCmdQuickTime] = "Download Apple QuickTime.";
    s[ids::kCmdOggCodec] = "Download Ogg Codec package.";
    s[ids::kCmdProductFirst + 0] = "About Lumicast, the converter window.";
    s[ids::kCmdProductFirst + 1] = "About lumicast-batch, the command-line converter.";
    s[ids::kCmdProductFirst + 2] = "About Kestrelvx, the encoder program.";
    s[ids::kCmdProductFirst + 3] = "About the interface language modules.";
    s[ids::kCmdProductFirst + 4] = "How to build Lumicast from its source code.";
    s[ids::kCmdHelpContents] = "Open the help contents\nHelp";
    s[ids::kCmdToolTips] = "Show or hide the start-up help window\nTool Tips";
}

} // namespace lang

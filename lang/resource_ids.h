#pragma once
// Fixed identifiers shared by the application and every language resource set: resources,
// commands, controls and string-table texts.

namespace ids {

// ---- Resources ----------------------------------------------------------------------------------
inline constexpr int kMainFrame = 128;  // menu 128, toolbar 128, accelerators 128, document string
inline constexpr int kDlgAbout = 100;   // About dialog
inline constexpr int kDlgForm = 101;    // the form view
inline constexpr int kDlgConvert = 106; // conversion progress
inline constexpr int kDlgPreview = 107; // preview and segment selection
inline constexpr int kDlgLoadSource = 137; // loading pass
inline constexpr int kDlgHelp = 138;       // start-up help window
inline constexpr int kBitmapDisabled = 134;
inline constexpr int kBitmapNormal = 136;

// ---- Commands -----------------------------------------------------------------------------------
inline constexpr int kCmdNew = 57600;
inline constexpr int kCmdOpen = 57601;
inline constexpr int kCmdSave = 57603;
inline constexpr int kCmdSaveAs = 57604;
inline constexpr int kCmdAbout = 57664;
inline constexpr int kCmdExit = 57665;

inline constexpr int kCmdAdd = 32801;
inline constexpr int kCmdRemove = 32803;
inline constexpr int kCmdRemoveAll = 32804;
inline constexpr int kCmdMoveUp = 32805;
inline constexpr int kCmdMoveDown = 32806;
inline constexpr int kCmdPreview = 32807;
inline constexpr int kCmdConvert = 32808;

inline constexpr int kCmdLanguageFirst = 32750; // entry i is 32750 + i
inline constexpr int kCmdLanguageChinese = 32751;
inline constexpr int kCmdLanguageLast = 32769;

// "Source Format" menu (informational, shown checked).
inline constexpr int kCmdSrcVcdVob = 32701;
inline constexpr int kCmdSrcMp4 = 32702;
inline constexpr int kCmdSrcRm = 32703;
inline constexpr int kCmdSrcMpeg = 32708;
inline constexpr int kCmdSrcAsf = 32709;
inline constexpr int kCmdSrcWmv = 32710;
inline constexpr int kCmdSrcAvi = 32712;
inline constexpr int kCmdSrcMovQt = 32713;
inline constexpr int kCmdSrcOggOgm = 32717;
inline constexpr int kCmdSrcOther = 32718;

// "Target Format" menu (informational, shown checked); the others are removed at start-up.
inline constexpr int kCmdTgtMpeg4 = 32719;
inline constexpr int kCmdTgtH264 = 32720;
inline constexpr int kCmdTgtMov = 32721;
inline constexpr int kCmdTgt3gp = 32722;
inline constexpr int kCmdTgtOgm = 32723;
inline constexpr int kCmdTgtVcd = 32724;
inline constexpr int kCmdTgtDvd = 32725;
inline constexpr int kCmdTgtSvcd = 32726;
inline constexpr int kCmdTgtDv = 32727;
inline constexpr int kCmdTgtAvi = 32730;
inline constexpr int kCmdTgtWmv = 32733;

// "Download" menu.
inline constexpr int kCmdProductFirst = 32771; // five product pages, 32771..32775
inline constexpr int kCmdProductLast = 32775;
inline constexpr int kCmdDirectX = 32776;
inline constexpr int kCmdRealPlayer = 32777;
inline constexpr int kCmdMediaPlayer = 32778;
inline constexpr int kCmdQuickTime = 32779;
inline constexpr int kCmdOggCodec = 32780;

// "Help" menu.
inline constexpr int kCmdHelpContents = 32791;
inline constexpr int kCmdToolTips = 32792; // also the form's "Hide the tooltips" check box

// ---- Controls -----------------------------------------------------------------------------------
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Form 101.
inline constexpr int kCtlSourceList = 1000;
inline constexpr int kCtlOutputPath = 1001;
inline constexpr int kCtlBrowse = 1002;
inline constexpr int kCtlGo = 1003;
inline constexpr int kCtlFormatFirst = 1004; // format buttons 1004..1013
inline constexpr int kCtlFormatLast = 1013;
inline constexpr int kCtlStandardFirst = 1015; // standard buttons 1015..1017
inline constexpr int kCtlStandardLast = 1017;
inline constexpr int kCtlFormatLabel = 1077;
inline constexpr int kCtlTipLabel = 1101;
inline constexpr int kCtlSizeList = 1103;
inline constexpr int kCtlWidth = 1104;
inline constexpr int kCtlHeight = 1105;
inline constexpr int kCtlFrameRateList = 1106;
inline constexpr int kCtlVideoBitRateList = 1107;
inline constexpr int kCtlMaxRate = 1109;
inline constexpr int kCtlMinRate = 1110;
inline constexpr int kCtlVolumeList = 1111;
inline constexpr int kCtlChannelsList = 1112;
inline constexpr int kCtlAudioBitRateList = 1113;
inline constexpr int kCtlSampleRateList = 1114;
inline constexpr int kCtlVariableBitRate = 1118;
inline constexpr int kCtlInfoText = 1210;
inline constexpr int kCtlHideTips = kCmdToolTips;
inline constexpr int kCtlVolumeLabel = 1119; // our own id for the hidden "Volume:" label

// Dialogs 106 and 137.
inline constexpr int kCtlStepText = 1030;
inline constexpr int kCtlOverallBar = 1026;
inline constexpr int kCtlCurrentBar = 1025;
inline constexpr int kCtlSizeText = 1028;
inline constexpr int kCtlSkipCurrent = 1036;
inline constexpr int kCtlCancelAll = 1022;

// Dialog 107.
inline constexpr int kCtlPosition = 1043;
inline constexpr int kCtlPlay = 1049;
inline constexpr int kCtlPause = 1050;
inline constexpr int kCtlStop = 1051;
inline constexpr int kCtlStart = 1052;
inline constexpr int kCtlEnd = 1053;
inline constexpr int kCtlFull = 1054;
inline constexpr int kCtlPreviewCancel = 1037;
inline constexpr int kCtlStartTime = 1056;
inline constexpr int kCtlEndTime = 1057;
inline constexpr int kCtlDurationTime = 1058;
inline constexpr int kCtlElapsedTime = 1059;
inline constexpr int kCtlVolume = 1060;
inline constexpr int kCtlBalance = 1061;
inline constexpr int kCtlVideoArea = 1062;

// Dialog 100.
inline constexpr int kCtlHyperlink = 1032;
inline constexpr int kCtlProduct = 1046;
inline constexpr int kCtlVersion = 1103;

// Dialog 138.
inline constexpr int kCtlHelpHideTips = 1073;

// ---- Strings ------------------------------------------------------------------------------------
inline constexpr int kStrOleInitFailed = 100;
inline constexpr int kStrRestartAfterOgg = 61201;
inline constexpr int kStrCantPlayback = 61205;
inline constexpr int kStrConversionCanceled = 61207;
inline constexpr int kStrConfirmCancelAll = 61208;
inline constexpr int kStrConversionCompleted = 61209;
inline constexpr int kStrRestartAfterWmp = 61210;
inline constexpr int kStrDetecting = 61212;
inline constexpr int kStrConvertStep = 61215;
inline constexpr int kStrExitQuestion = 61221;
inline constexpr int kStrFailureReasons = 61222;
inline constexpr int kStrNeedMediaPlayer = 61225;
inline constexpr int kStrNeedOggCodec = 61226;
inline constexpr int kStrSelectOutputFolder = 61242;
inline constexpr int kStrUnknownFormat = 61243;
inline constexpr int kStrAdd = 61308;
inline constexpr int kStrConvert = 61310;
inline constexpr int kStrColDuration = 61311;
inline constexpr int kStrStatusError = 61313;
inline constexpr int kStrExit = 61315;
inline constexpr int kStrStatusDoing = 61316;
inline constexpr int kStrStatusDone = 61317;
inline constexpr int kStrMoveUp = 61319;
inline constexpr int kStrMoveDown = 61320;
inline constexpr int kStrPreview = 61322;
inline constexpr int kStrStatusReady = 61323;
inline constexpr int kStrRemove = 61324;
inline constexpr int kStrRemoveAll = 61325;
inline constexpr int kStrStatusSkip = 61328;
inline constexpr int kStrColSource = 61329;
inline constexpr int kStrColStatus = 61330;
inline constexpr int kStrColTarget = 61332;
inline constexpr int kStrStatusWaiting = 61335;
inline constexpr int kStrRecommended = 61336;
inline constexpr int kStrKeepOriginal = 61337;
inline constexpr int kStrMono = 61338;
inline constexpr int kStrStereo = 61339;
inline constexpr int kStrDisableAudio = 61340;
// Our own: the form's tip label 1101 when the media framework behind the preview is missing; its
// argument is the list of packages to install.
inline constexpr int kStrMediaFrameworkTip = 61341;

// The framework's own texts: status-bar idle prompt and the lock indicators.
inline constexpr int kStrIdleMessage = 57345;
inline constexpr int kStrIndicatorCaps = 59137;
inline constexpr int kStrIndicatorNum = 59138;
inline constexpr int kStrIndicatorScroll = 59139;

} // namespace ids

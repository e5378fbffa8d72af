#pragma once
// The steps a user takes in the preview dialog, shared by the preview tests and the Preview
// command's (tests/app): the buttons, a drag of the position slider, how long opening may take,
// and the silent audio output every test plays into.
#include <QPushButton>
#include <QTest>
#include <QtGlobal>

#include "common/testkit.h"
#include "controls/track_bar.h"
#include "preview/preview_dlg.h"

namespace preview_test {

// Opening runs on the first tick; GStreamer loading its plugins on a busy machine takes a while.
inline constexpr int kOpenWaitMs = testkit::kPatientMs;

// The media layer plays sound into a clocked sink that needs no sound device, unless the
// environment names another.
inline void UseSilentAudioOutput() {
    if (qEnvironmentVariableIsEmpty("LUMICAST_AUDIO_SINK")) {
        qputenv("LUMICAST_AUDIO_SINK", "fakesink sync=true");
    }
}

inline bool Enabled(const CPreviewDlg& dlg, int nId) {
    return dlg.Button(nId)->isEnabled();
}

inline void Click(CPreviewDlg& dlg, int nId) {
    QTest::mouseClick(dlg.Button(nId), Qt::LeftButton);
}

// Moves the position slider as a drag would (the dialog seeks) and waits for the graph to settle.
inline void DragTo(CPreviewDlg& dlg, int nSeconds) {
    dlg.PositionSlider()->setValue(nSeconds);
    media::FilterState state = media::FilterState::Stopped;
    if (dlg.Player().Control()) {
        dlg.Player().Control()->GetState(testkit::kPatientMs, state);
    }
}

// Gives the dialog its file and the cells of the part to convert, as the Preview command does.
inline void SetSource(CPreviewDlg& dlg, const std::string& strFile, std::int32_t& nStart,
                      std::int32_t& nEnd) {
    dlg.m_strFile = strFile;
    dlg.m_pnStart = &nStart;
    dlg.m_pnEnd = &nEnd;
}

} // namespace preview_test

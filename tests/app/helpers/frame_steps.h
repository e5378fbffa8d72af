#pragma once
// Steps the application's tests take with a started frame: looking at a modal window while the
// code that opened it waits for it, the command of a language, a source row, closing the frame.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "common/gui/scripted_prompts.h"
#include "lang/resource_ids.h"
#include "sources/source_record.h"

namespace app_test {

// How long a modal window may take to show before whatever is open is closed.
inline constexpr int kModalWaitMs = 20000;

// Runs `open`, which shows a modal window and returns once it has closed. As soon as a modal
// window of type T shows, `check` looks at it and it is rejected. A modal window of another type,
// or none of type T within kModalWaitMs, is rejected too, so the test never hangs. False when no
// window of type T showed.
template <class T>
bool WithModal(const std::function<void()>& open, const std::function<void(T*)>& check) {
    bool bSeen = false;
    QDeadlineTimer deadline(kModalWaitMs);
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        auto* window = qobject_cast<T*>(modal);
        if (window != nullptr && !bSeen) {
            bSeen = true;
            check(window);
        }
        if (bSeen || deadline.hasExpired()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        }
    });
    timer.start();
    open();
    return bSeen;
}

// The Language command of a language, 0 when the menu does not offer it.
inline int LanguageCommand(const CMainFrame& frame, std::uint16_t nLanguage) {
    for (std::size_t i = 0; i < frame.Languages().size(); ++i) {
        if (frame.Languages()[i].nLanguage == nLanguage) {
            return ids::kCmdLanguageFirst + static_cast<int>(i);
        }
    }
    return 0;
}

// Appends a row for a probed ten-second source /videos/<title>.avi whose target is
// /videos/out/<target name>.mp4, in the given status.
inline void AddSourceRow(CVelmoraView& view, const std::string& strTitle,
                         const std::string& strTargetName, std::int32_t nStatus = kStatusReady) {
    auto record = std::make_unique<FileMediaFormat>();
    record->m_strPath = "/videos/" + strTitle + ".avi";
    record->m_strTitle = strTitle;
    record->m_strExt = "avi";
    record->m_nDuration = 10;
    record->m_nEnd = 10;
    record->m_strDuration = "00:00:10.00 (10 s)";
    record->m_strTargetFolder = "/videos/out/";
    record->m_strTargetName = strTargetName;
    record->m_strTargetExt = "mp4";
    record->m_nStatus = nStatus;
    view.AppendSource(std::move(record), view.RowCount());
}

// Closes the frame, answering the exit question with OK, and lets it go.
inline void CloseFrame(std::unique_ptr<CMainFrame>& pFrame) {
    ScriptedPrompts prompts;
    prompts.AnswerMessage(PromptResult::Ok);
    pFrame->close();
    pFrame.reset();
}

} // namespace app_test

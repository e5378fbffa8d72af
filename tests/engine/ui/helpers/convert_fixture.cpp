#include "engine/ui/helpers/convert_fixture.h"

#include <QCoreApplication>
#include <QThread>

#include "common/testkit.h"

namespace convert_test {

FileMediaFormat* TestList::RecordAtRow(int nRow) {
    if (nRow < 0 || nRow >= RowCount()) {
        return nullptr;
    }
    return m_records[static_cast<std::size_t>(m_rows[static_cast<std::size_t>(nRow)])].get();
}

void TestList::FillRow(int nRow) {
    FileMediaFormat* pRecord = RecordAtRow(nRow);
    if (pRecord == nullptr) {
        return;
    }
    m_fillCounts[static_cast<std::size_t>(nRow)]++;
    m_fills.push_back(std::to_string(nRow) + ":" + std::to_string(pRecord->m_nStatus));
    m_fillOnMainThread.push_back(QThread::currentThread() ==
                                 QCoreApplication::instance()->thread());
}

int TestList::Add(std::unique_ptr<FileMediaFormat> pRecord) {
    m_rows.push_back(static_cast<int>(m_records.size()));
    m_records.push_back(std::move(pRecord));
    m_fillCounts.push_back(0);
    return RowCount() - 1;
}

std::vector<int> TestList::Statuses() {
    std::vector<int> statuses;
    for (int nRow = 0; nRow < RowCount(); ++nRow) {
        statuses.push_back(RecordAtRow(nRow)->m_nStatus);
    }
    return statuses;
}

Poller::Poller(std::function<bool()> step) : m_step(std::move(step)) {
    m_timer.setInterval(10);
    // The step may run a nested event loop (a button that waits): the timer is off meanwhile, so
    // the step is never entered twice.
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_timer.stop();
        if (m_step()) {
            m_bDone = true;
        } else {
            m_timer.start();
        }
    });
    m_timer.start();
}

DialogSetup::DialogSetup() {
    testkit::WriteFakeEncoder(m_bin.Path(),
                              testkit::ScriptedEncoderBody(CallLog(), m_bin.File("release")));
    m_settings.m_nFormat = 0;
    m_settings.m_strOutputFolder = Out();
}

std::unique_ptr<CConvertDlg> DialogSetup::MakeDialog() {
    return std::make_unique<CConvertDlg>(nullptr, std::move(m_pOwnedList), m_job, m_settings);
}

bool DialogSetup::RowRunning(CConvertDlg& dialog, int nRow) const {
    return dialog.Batch().m_nCurrent == nRow && CallCount() == nRow + 1;
}

const char* const kCompleted = "Conversion is completed.";
const char* const kCanceled = "Conversion is canceled.";
const char* const kConfirmCancelAll = "Are you sure to cancel all convert tasks?";
const char* const kUnknownFormat =
    "Unknown file format . Please ensure your computer can playback the file normally.";
const char* const kReasons =
    "Please note the following reasons:\n1. This file is not an available media file or doesn't "
    "include audio data.\n2. You haven't installed Windows Media Player 9.0 or later.\n3. You "
    "need install Real Player when converting RM/RMVB/RAM.\n4. You need install QuickTime when "
    "converting QT/MOV.\n5. You need install other third-party codec.\n\nPlease click menu "
    "\"Download\" to get more.";

} // namespace convert_test

#include "app/list_keeper.h"

#include <QStatusBar>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "platform/named_mutex.h"
#include "platform/store_file.h"
#include "sources/source_list_file.h"
#include "sources/source_record.h"
#include "support/fingerprint.h"
#include "support/log.h"
#include "support/registry_store.h"

namespace {

constexpr int kKeepMs = 500;

} // namespace

const char* const CListKeeper::kRestoredText =
    "The list of the last session was restored: Lumicast did not end normally.";

std::string CListKeeper::ListFilePath() {
    const std::string strFolder = RegistryStoreFolder();
    return strFolder.empty() ? std::string() : strFolder + "/session-list";
}

CListKeeper::CListKeeper(CMainFrame* pFrame) : QObject(pFrame), m_pFrame(pFrame) {
    const std::string strPath = ListFilePath();
    if (strPath.empty()) {
        return;
    }
    // Another window of this user keeps the list already: this one leaves it alone. The lock lives
    // in the runtime folder, so that starting writes nothing beside the settings.
    m_pLock = std::make_unique<platform::CStoreFileLock>(
        platform::RuntimeFolder() + "/lumicast-list-" + FingerprintText(strPath) + ".lock", false);
    if (!m_pLock->IsHeld()) {
        return;
    }
    m_strPath = strPath;
    Restore();
    m_strWritten = ListText();
    connect(&m_timer, &QTimer::timeout, this, &CListKeeper::Keep);
    m_timer.start(kKeepMs);
}

CListKeeper::~CListKeeper() {
    if (!m_strPath.empty()) {
        unlink(m_strPath.c_str());
    }
}

std::string CListKeeper::ListText() const {
    CVelmoraView* pView = m_pFrame->View();
    std::vector<const FileMediaFormat*> records;
    for (int nRow = 0; pView != nullptr && nRow < pView->RowCount(); ++nRow) {
        records.push_back(pView->RecordAtRow(nRow));
    }
    return records.empty() ? std::string() : SourceListText(records);
}

void CListKeeper::Keep() {
    if (m_strPath.empty()) {
        return;
    }
    const std::string strText = ListText();
    if (strText == m_strWritten) {
        return;
    }
    const bool bKept = strText.empty() ? (unlink(m_strPath.c_str()) == 0 || errno == ENOENT)
                                       : platform::ReplaceFileContents(m_strPath, strText);
    if (bKept) {
        m_strWritten = strText;
    }
}

void CListKeeper::Restore() {
    std::ifstream in(m_strPath, std::ios::binary);
    if (!in) {
        return; // the last run ended normally (or there was none)
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<std::unique_ptr<FileMediaFormat>> records;
    CVelmoraView* pView = m_pFrame->View();
    if (!ReadSourceListText(text.str(), records) || records.empty() || pView == nullptr) {
        WriteLogLine("The list of the last session could not be read: %s", m_strPath.c_str());
        return;
    }
    for (auto& pRecord : records) {
        // A batch that was running is over: its waiting and running rows are ready again.
        if (pRecord->m_nStatus == kStatusWaiting || pRecord->m_nStatus == kStatusDoing) {
            pRecord->m_nStatus = kStatusReady;
        }
        pView->AppendSource(std::move(pRecord), pView->RowCount());
    }
    WriteLogLine("%s", kRestoredText);
    m_pFrame->statusBar()->showMessage(QString::fromUtf8(kRestoredText));
}

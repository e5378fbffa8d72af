#pragma once
// What the batch driver shares with the dialog that runs it: the batch state, and the host through
// which the worker reaches the source list and the user. The driver holds no widget; the host
// carries each call over to the thread that owns the list.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "engine/batch_event.h"
#include "profiles/conversion_settings.h"

class CEncoderJob;
class FileMediaFormat;

// The state of one batch, shared by the worker and the dialog's main thread. Each flag and count
// has one writer at a time; the texts are replaced by the worker and read by the dialog, both
// under m_mxUpdate.
struct BatchState {
    std::atomic<bool> m_bCancelAll{false}; // main thread: Cancel All was confirmed
    std::atomic<bool> m_bSkip{false};      // main thread; cleared by the driver before each source
    std::atomic<bool> m_bFinished{false};  // driver: the batch ran to its end without Cancel All
    std::atomic<std::int32_t> m_nCurrent{-1}; // driver: row of the current source, -1 before
    std::atomic<std::int32_t> m_nCount{0};    // driver: rows at the start of the batch

    std::mutex m_mxUpdate;       // the update lock
    std::string m_strSource;     // full path of the current source
    std::string m_strTarget;     // output path of the current source
    std::string m_strTargetPath; // the output path again: the file whose size is shown
    std::string m_strStep;       // the step text
    std::string m_strCause;      // why the current source failed ("" when it did not, or when no
                                 // cause of its own is known); set before its row is filled

    CEncoderJob* m_pJob = nullptr;                    // set before the worker starts
    std::atomic<FileMediaFormat*> m_pRecord{nullptr}; // driver: the current record
    CBatchEvent m_evDone; // signalled when the driver ends; automatic reset
};

// The source list as the conversion sees it: rows in list order, each showing one record. Used
// on the thread that owns the list.
class IBatchList {
public:
    virtual ~IBatchList() = default;
    virtual int RowCount() = 0;
    // The record a row shows; nullptr for a bad row.
    virtual FileMediaFormat* RecordAtRow(int nRow) = 0;
    // Refreshes a row's texts from its record.
    virtual void FillRow(int nRow) = 0;
};

// The host of a batch, called by the driver on its worker thread. Each call returns when it has
// been served, as a window message sent across threads would.
class IBatchHost {
public:
    virtual ~IBatchHost() = default;
    virtual BatchState& Batch() = 0;
    // The settings, read once on the list's thread before the worker started.
    virtual const profiles::ConversionSettings& Settings() = 0;
    virtual int RowCount() = 0;
    virtual FileMediaFormat* RecordAtRow(int nRow) = 0;
    virtual void FillRow(int nRow) = 0;
    // The message that names the sources that failed (OK button, warning icon).
    virtual void ShowFailureMessage(const std::string& strText) = 0;
    // Called once, after m_evDone was signalled. bFinished: the batch ran to its end, and the
    // host ends its dialog as the Cancel All command does. Must not wait for the host's thread.
    virtual void BatchEnded(bool bFinished) = 0;
};

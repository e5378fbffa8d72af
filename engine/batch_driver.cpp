#include "engine/batch_driver.h"

#include <cstdint>
#include <mutex>

#include "engine/batch_host.h"
#include "engine/encoder_job.h"
#include "engine/failure_cause.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "platform/file_paths.h"
#include "profiles/catalogue.h"
#include "profiles/encoder_options.h"
#include "sources/source_record.h"
#include "support/log.h"
#include "support/result_codes.h"

namespace {

// The part of the source to convert: end after start, both at or after 0.
bool HasSegment(const FileMediaFormat& record) {
    return record.m_nStart >= 0 && record.m_nEnd > record.m_nStart;
}

HResult ConvertOne(CEncoderJob& job, const FileMediaFormat& record, const std::string& strTarget,
                   const std::string& strOptions, int nFormat, std::string& strCause) {
    strCause.clear();
    if (!HasSegment(record)) {
        return kResultInvalidArg; // an empty segment runs no encoder
    }
    if (!profiles::FormatHasConversionPath(nFormat)) {
        return kResultFail; // nothing can convert to this format
    }
    const int nResult = job.Run(record.m_strPath, strTarget, record.m_strTitle, strOptions,
                                static_cast<std::int64_t>(record.m_nStart),
                                static_cast<std::int64_t>(record.m_nEnd));
    if (nResult < 0) {
        strCause = job.m_strCause;
        return kResultFail;
    }
    return kResultOk;
}

} // namespace

std::string BuildFailureMessage(const std::string& strFailedList) {
    return LoadResString(ids::kStrUnknownFormat) + "\r\n" + strFailedList + "\r\n\r\n" +
           LoadResString(ids::kStrFailureReasons);
}

int ConvertSourcesThread(IBatchHost* pHost) {
    if (pHost == nullptr) {
        return 0;
    }
    IBatchHost& host = *pHost;
    BatchState& batch = host.Batch();
    CEncoderJob& job = *batch.m_pJob;
    const profiles::ConversionSettings& settings = host.Settings();
    const int nFormat = settings.m_nFormat;
    const std::string strExtension = profiles::FormatExtension(nFormat);

    // Every output of the batch goes into the output folder, created before the first source.
    std::string strFolder = settings.m_strOutputFolder;
    if (!strFolder.empty() && strFolder.back() != '/') {
        strFolder += '/';
    }

    const int nCount = host.RowCount();
    batch.m_nCount = nCount;
    std::string strOptions;
    // Whether the folder was there when the batch began (made now or before): later it can only
    // be gone, not "not created".
    bool bFolderWasThere = false;
    if (nCount > 0) {
        EnsureFolder(strFolder);
        bFolderWasThere = FolderExists(strFolder);
        strOptions = profiles::BuildEncoderOptions(settings);
    }

    std::string strFailed; // each entry a line feed and a path
    bool bFailure = false;
    for (int i = 0; i < nCount && !batch.m_bCancelAll; ++i) {
        batch.m_bSkip = false;
        batch.m_nCurrent = i;
        FileMediaFormat* pRecord = host.RecordAtRow(i);
        batch.m_pRecord = pRecord;
        if (pRecord == nullptr) {
            WriteLogLine("Convert: row %d has no source record.", i);
            continue;
        }
        FileMediaFormat& record = *pRecord;
        record.m_nStatus = kStatusWaiting;
        const std::string strSource = record.m_strPath;
        {
            std::lock_guard<std::mutex> lock(batch.m_mxUpdate);
            batch.m_strSource = strSource;
        }
        record.MakeTargetName(strFolder, strExtension, kTargetSuffix);
        host.FillRow(i);
        const std::string strTarget = record.GetTargetPath();
        WriteLogLine("Start convert %s to %s", strSource.c_str(), strTarget.c_str());
        const std::string strStep =
            LoadResString(ids::kStrConvertStep, i + 1, nCount, strSource, strTarget);
        {
            std::lock_guard<std::mutex> lock(batch.m_mxUpdate);
            batch.m_strTarget = strTarget;
            batch.m_strTargetPath = strTarget;
            batch.m_strStep = strStep;
        }
        job.m_nPercent = 0;
        job.m_nDuration = 0;

        // An output folder that is gone or cannot be written refuses the file before the encoder
        // runs: a folder removed during the batch is not made again (it may have been a removed
        // drive's mount point), and the cause is named.
        std::string strCause =
            strFolder.empty() ? std::string() : OutputFolderCause(strFolder, bFolderWasThere);
        HResult hrOutcome = kResultFail;
        if (strCause.empty()) {
            hrOutcome = ConvertOne(job, record, strTarget, strOptions, nFormat, strCause);
        } else {
            WriteLogLine("%s", strCause.c_str());
        }
        if (Failed(hrOutcome)) {
            bFailure = true;
            strFailed += "\n" + strSource;
            WriteLogLine("Converting %s is failed.", strSource.c_str());
        }
        {
            std::lock_guard<std::mutex> lock(batch.m_mxUpdate);
            batch.m_strCause = Failed(hrOutcome) ? strCause : std::string();
        }
        // After Cancel All the record keeps "Waiting": the dialog marks it.
        if (!batch.m_bCancelAll) {
            if (Failed(hrOutcome)) {
                record.m_nStatus = kStatusError;
            } else if (batch.m_bSkip) {
                record.m_nStatus = kStatusSkip;
            } else {
                record.m_nStatus = kStatusDone;
                record.m_bConverted = 1;
            }
            host.FillRow(i);
        }
    }

    if (bFailure) {
        host.ShowFailureMessage(BuildFailureMessage(strFailed));
    }
    // Whether the batch ran to its end is settled before the event, so that a Cancel All that
    // waits for the event reads the outcome the driver acted on.
    const bool bFinished = !batch.m_bCancelAll;
    batch.m_bFinished = bFinished;
    batch.m_evDone.Set();
    host.BatchEnded(bFinished);
    return 0;
}

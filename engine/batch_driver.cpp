#include "engine/batch_driver.h"

#include <cstdint>
#include <mutex>

#include "engine/batch_host.h"
#include "engine/convert_source.h"
#include "engine/encoder_job.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "sources/source_record.h"
#include "support/log.h"
#include "support/result_codes.h"

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

    const int nCount = host.RowCount();
    batch.m_nCount = nCount;
    // Every output of the batch goes into the output folder, created before the first source.
    SourceJobPlan plan;
    if (nCount > 0) {
        plan = PlanSourceJobs(settings);
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
        record.MakeTargetName(plan.strFolder, plan.strExtension, kTargetSuffix);
        host.FillRow(i);
        const std::string strTarget = record.GetTargetPath();
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

        std::string strCause;
        const HResult hrOutcome = ConvertSource(job, record, strTarget, plan, strCause);
        if (Failed(hrOutcome)) {
            bFailure = true;
            strFailed += "\n" + strSource;
        }
        {
            std::lock_guard<std::mutex> lock(batch.m_mxUpdate);
            batch.m_strCause = Failed(hrOutcome) ? strCause : std::string();
        }
        // After Cancel All the record keeps "Waiting": the dialog marks it.
        if (!batch.m_bCancelAll) {
            SettleSourceStatus(record, hrOutcome, batch.m_bSkip);
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

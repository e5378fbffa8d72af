#include "engine/convert_source.h"

#include <cstdint>

#include "engine/encoder_job.h"
#include "engine/failure_cause.h"
#include "platform/file_paths.h"
#include "profiles/catalogue.h"
#include "profiles/conversion_settings.h"
#include "profiles/encoder_options.h"
#include "sources/source_record.h"
#include "support/log.h"

namespace {

// The part of the source to convert: end after start, both at or after 0.
bool HasSegment(const FileMediaFormat& record) {
    return record.m_nStart >= 0 && record.m_nEnd > record.m_nStart;
}

} // namespace

SourceJobPlan PlanSourceJobs(const profiles::ConversionSettings& settings) {
    SourceJobPlan plan;
    plan.nFormat = settings.m_nFormat;
    plan.strExtension = profiles::FormatExtension(settings.m_nFormat);
    plan.strFolder = settings.m_strOutputFolder;
    if (!plan.strFolder.empty() && plan.strFolder.back() != '/') {
        plan.strFolder += '/';
    }
    EnsureFolder(plan.strFolder);
    // Whether the folder was there when the batch began (made now or before): later it can only
    // be gone, not "not created".
    plan.bFolderWasThere = FolderExists(plan.strFolder);
    plan.strOptions = profiles::BuildEncoderOptions(settings);
    return plan;
}

HResult ConvertSource(CEncoderJob& job, const FileMediaFormat& record, const std::string& strTarget,
                      const SourceJobPlan& plan, std::string& strCause) {
    WriteLogLine("Start convert %s to %s", record.m_strPath.c_str(), strTarget.c_str());
    // An output folder that is gone or cannot be written refuses the file before the encoder
    // runs: a folder removed during the batch is not made again (it may have been a removed
    // drive's mount point), and the cause is named.
    strCause = plan.strFolder.empty() ? std::string()
                                      : OutputFolderCause(plan.strFolder, plan.bFolderWasThere);
    HResult hr = kResultFail;
    if (!strCause.empty()) {
        WriteLogLine("%s", strCause.c_str());
    } else if (!HasSegment(record)) {
        hr = kResultInvalidArg; // an empty segment runs no encoder
    } else if (!profiles::FormatHasConversionPath(plan.nFormat)) {
        hr = kResultFail; // nothing can convert to this format
    } else if (job.Run(record.m_strPath, strTarget, record.m_strTitle, plan.strOptions,
                       static_cast<std::int64_t>(record.m_nStart),
                       static_cast<std::int64_t>(record.m_nEnd)) < 0) {
        strCause = job.m_strCause;
    } else {
        hr = kResultOk;
    }
    if (Failed(hr)) {
        WriteLogLine("Converting %s is failed.", record.m_strPath.c_str());
    }
    return hr;
}

void SettleSourceStatus(FileMediaFormat& record, HResult hrOutcome, bool bSkipped) {
    if (Failed(hrOutcome)) {
        record.m_nStatus = kStatusError;
    } else if (bSkipped) {
        record.m_nStatus = kStatusSkip;
    } else {
        record.m_nStatus = kStatusDone;
        record.m_bConverted = 1;
    }
}

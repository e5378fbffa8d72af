#pragma once
// One source's conversion as every batch runs it, the window's one file at a time and
// lumicast-batch's side by side alike: the output folder must still take the file, the part to
// convert must not be empty and the target must have a conversion path; then the encoder job runs.
#include <string>

#include "support/result_codes.h"

class CEncoderJob;
class FileMediaFormat;

namespace profiles {
struct ConversionSettings;
}

// What a batch settles once, before its first source.
struct SourceJobPlan {
    std::string strFolder;        // the output folder, ending in "/" (empty: none given)
    std::string strExtension;     // the target format's output extension
    std::string strOptions;       // the option text
    int nFormat = 0;              // the target format
    bool bFolderWasThere = false; // the folder existed (or was made) when the batch began
};

// Creates the output folder when it is missing, then settles the plan from the settings. Called
// once per batch that has at least one source.
SourceJobPlan PlanSourceJobs(const profiles::ConversionSettings& settings);

// Converts the record's part to convert into strTarget with the job and logs its start ("Start
// convert %s to %s") and, when it fails, "Converting %s is failed.". Returns 0 or more when the
// file was converted or the run was cancelled, a failure code otherwise; strCause is why it failed
// when that is known (also logged), else "".
HResult ConvertSource(CEncoderJob& job, const FileMediaFormat& record, const std::string& strTarget,
                      const SourceJobPlan& plan, std::string& strCause);

// The record's status after its conversion: "Error" when it failed (whether or not it was
// skipped), else "Skip" when it was skipped, else "Done", converted.
void SettleSourceStatus(FileMediaFormat& record, HResult hrOutcome, bool bSkipped);

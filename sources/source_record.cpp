// Source record: names, output name choice and status texts.
#include "sources/source_record.h"

#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "platform/file_paths.h"

int StatusTextId(std::int32_t nStatus) {
    switch (nStatus) {
    case kStatusWaiting:
        return ids::kStrStatusWaiting;
    case kStatusDoing:
        return ids::kStrStatusDoing;
    case kStatusSkip:
        return ids::kStrStatusSkip;
    case kStatusDone:
        return ids::kStrStatusDone;
    case kStatusError:
        return ids::kStrStatusError;
    default:
        return ids::kStrStatusReady;
    }
}

std::string StatusText(std::int32_t nStatus) {
    return LoadResString(StatusTextId(nStatus));
}

std::string FileAudioFormat::GetFileName() const {
    return m_strTitle + "." + m_strExt;
}

std::string FileAudioFormat::GetTargetFileName() const {
    return m_strTargetName + "." + m_strTargetExt;
}

std::string FileAudioFormat::GetTargetPath() const {
    return m_strTargetFolder + m_strTargetName + "." + m_strTargetExt;
}

void FileAudioFormat::MakeTargetName(const std::string& strFolder, const std::string& strExtension,
                                     const std::string& strSuffix) {
    constexpr int kLastTested = 999;

    std::string folder = strFolder;
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    std::string base = m_strTitle;
    if (!strSuffix.empty()) {
        base += "-" + strSuffix;
    }

    std::string chosen = base;
    if (FileExists(folder + base + "." + strExtension)) {
        int n = 1;
        for (; n <= kLastTested; ++n) {
            const std::string candidate = base + "[" + std::to_string(n) + "]";
            if (!FileExists(folder + candidate + "." + strExtension)) {
                break;
            }
        }
        // After 999 names in use the next one is taken untested.
        chosen = base + "[" + std::to_string(n) + "]";
    }

    m_strTargetExt = strExtension;
    m_strTargetFolder = folder;
    m_strTargetName = chosen;
}

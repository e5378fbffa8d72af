// Source record: names, output name choice and status texts.
#include "sources/source_record.h"

#include <cerrno>

#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "platform/file_paths.h"
#include "sources/target_name.h"

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

void FileAudioFormat::ChooseTargetName(const std::string& strFolder,
                                       const std::string& strExtension,
                                       const std::string& strSuffix,
                                       const std::function<bool(const std::string&)>& isFree) {
    std::string folder = strFolder;
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    const std::size_t nNameMax = MaxFileNameBytes(folder);
    const auto candidate = [&](int n) {
        return TargetBaseName(m_strTitle, strSuffix, n, strExtension, nNameMax);
    };

    int n = 0;
    while (n <= kLastTestedTargetName && !isFree(folder + candidate(n) + "." + strExtension)) {
        ++n;
    }
    // After 999 names in use the next one is taken untested.

    m_strTargetExt = strExtension;
    m_strTargetFolder = folder;
    m_strTargetName = candidate(n);
}

void FileAudioFormat::MakeTargetName(const std::string& strFolder, const std::string& strExtension,
                                     const std::string& strSuffix) {
    ChooseTargetName(strFolder, strExtension, strSuffix,
                     [](const std::string& path) { return !FileExists(path); });
}

bool FileAudioFormat::ReserveTargetName(
    const std::string& strFolder, const std::string& strExtension, const std::string& strSuffix,
    const std::function<void(const std::string& strPath)>& beforeClaim) {
    int nError = EEXIST;
    ChooseTargetName(strFolder, strExtension, strSuffix, [&](const std::string& path) {
        if (FileExists(path)) {
            return false;
        }
        if (beforeClaim) {
            beforeClaim(path);
        }
        nError = CreateNewFile(path);
        // Any other failure (no folder, no permission) would fail every name alike.
        return nError != EEXIST;
    });
    return nError == 0;
}

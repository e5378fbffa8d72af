#include "common/records.h"

#include <filesystem>

namespace testkit {

std::unique_ptr<FileMediaFormat> MakeRecord(const std::string& path, int start, int end) {
    auto pRecord = std::make_unique<FileMediaFormat>();
    const std::filesystem::path name(path);
    pRecord->m_strPath = path;
    pRecord->m_strTitle = name.stem().string();
    const std::string strExt = name.extension().string();
    pRecord->m_strExt = strExt.empty() ? std::string() : strExt.substr(1);
    pRecord->m_nDuration = end;
    pRecord->m_nStart = start;
    pRecord->m_nEnd = end;
    return pRecord;
}

} // namespace testkit

#include "sources/source_list_file.h"

#include <cstdlib>
#include <limits>
#include <sstream>

#include "sources/source_record.h"
#include "support/field_line.h"

namespace {

constexpr char kHeader[] = "lumicast source list 1";
constexpr std::size_t kFields = 22; // "source" and the record's 21 fields

std::string Number(long long n) {
    return std::to_string(n);
}

template <class T> bool ReadNumber(const std::string& text, T& value) {
    char* end = nullptr;
    const long long n = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < static_cast<long long>(std::numeric_limits<T>::min()) ||
        n > static_cast<long long>(std::numeric_limits<T>::max())) {
        return false;
    }
    value = static_cast<T>(n);
    return true;
}

} // namespace

std::string SourceListText(const std::vector<const FileMediaFormat*>& records) {
    std::string text = std::string(kHeader) + "\n";
    for (const FileMediaFormat* p : records) {
        if (p == nullptr) {
            continue;
        }
        text += JoinFields({"source",
                            p->m_strPath,
                            p->m_strExt,
                            p->m_strTitle,
                            Number(p->m_nBitsPerSample),
                            Number(p->m_nSamplesPerSec),
                            Number(p->m_nChannels),
                            Number(p->m_nDuration),
                            Number(p->m_nFormatTag),
                            Number(p->m_nAvgBytesPerSec),
                            Number(p->m_nBlockAlign),
                            p->m_strTargetFolder,
                            p->m_strTargetName,
                            p->m_strTargetExt,
                            Number(p->m_nStart),
                            Number(p->m_nEnd),
                            Number(p->m_bConverted),
                            Number(p->m_nStatus),
                            p->m_strDuration,
                            p->m_strBitrate,
                            p->m_strVideo,
                            p->m_strAudio}) +
                "\n";
    }
    return text;
}

bool ReadSourceListText(const std::string& text,
                        std::vector<std::unique_ptr<FileMediaFormat>>& records) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kHeader) {
        return false;
    }
    std::vector<std::unique_ptr<FileMediaFormat>> read;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = SplitFields(line);
        auto p = std::make_unique<FileMediaFormat>();
        if (f.size() != kFields || f[0] != "source" || !ReadNumber(f[4], p->m_nBitsPerSample) ||
            !ReadNumber(f[5], p->m_nSamplesPerSec) || !ReadNumber(f[6], p->m_nChannels) ||
            !ReadNumber(f[7], p->m_nDuration) || !ReadNumber(f[8], p->m_nFormatTag) ||
            !ReadNumber(f[9], p->m_nAvgBytesPerSec) || !ReadNumber(f[10], p->m_nBlockAlign) ||
            !ReadNumber(f[14], p->m_nStart) || !ReadNumber(f[15], p->m_nEnd) ||
            !ReadNumber(f[16], p->m_bConverted) || !ReadNumber(f[17], p->m_nStatus)) {
            return false;
        }
        p->m_strPath = f[1];
        p->m_strExt = f[2];
        p->m_strTitle = f[3];
        p->m_strTargetFolder = f[11];
        p->m_strTargetName = f[12];
        p->m_strTargetExt = f[13];
        p->m_strDuration = f[18];
        p->m_strBitrate = f[19];
        p->m_strVideo = f[20];
        p->m_strAudio = f[21];
        read.push_back(std::move(p));
    }
    records = std::move(read);
    return true;
}

#include "sources/info_panel_text.h"

#include "sources/source_record.h"

std::string InfoPanelStreamSection(const char* pszLabel, const std::string& strStream) {
    const std::string::size_type nFirst = strStream.find(',');
    if (nFirst == std::string::npos) {
        return std::string();
    }
    std::string strSection = "\r\n";
    strSection += pszLabel;
    strSection += ":\r\n ";
    const std::string::size_type nSecond = strStream.find(',', nFirst + 1);
    if (nSecond == std::string::npos) {
        strSection += strStream;
        return strSection;
    }
    strSection += strStream.substr(0, nSecond + 1);
    strSection += "\r\n ";
    strSection += strStream.substr(nSecond + 1);
    return strSection;
}

std::string InfoPanelText(const FileMediaFormat& record) {
    // The texts are joined rather than formatted: a file name may hold "%".
    std::string strText = record.GetFileName();
    strText += "\r\n\r\n";
    if (record.m_strDuration.empty()) {
        strText += "Unknown file format.";
        return strText;
    }
    const std::string strAudio = InfoPanelStreamSection("Audio", record.m_strAudio);
    const std::string strVideo = InfoPanelStreamSection("Video", record.m_strVideo);
    strText += "Duration:";
    strText += record.m_strDuration;
    strText += "\r\nBitrate:";
    strText += record.m_strBitrate;
    strText += strVideo;
    strText += strAudio;
    return strText;
}

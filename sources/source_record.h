#pragma once
// The source record: everything known about one file of the source list.
#include <cstdint>
#include <string>

#include "support/result_codes.h"

// Conversion status of a record (m_nStatus).
enum SourceStatus : std::int32_t {
    kStatusReady = 0,
    kStatusWaiting = 1,
    kStatusDoing = 2,
    kStatusSkip = 3,
    kStatusDone = 4,
    kStatusError = 5,
};

// String id of the text shown in the Status column for a status code; a code outside 1..5 shows
// the text of "Ready" (61323).
int StatusTextId(std::int32_t nStatus);

// The status text in the current interface language.
std::string StatusText(std::int32_t nStatus);

// Suffix the loading pass and the batch driver give to output names ("clip" -> "clip-cvt").
inline constexpr const char* kTargetSuffix = "cvt";

// The base record. Folders are written with "/" and always end in "/". Texts are UTF-8.
class FileAudioFormat {
public:
    FileAudioFormat() = default;
    FileAudioFormat(const FileAudioFormat&) = default;
    FileAudioFormat& operator=(const FileAudioFormat&) = default;
    virtual ~FileAudioFormat() = default;

    // m_strTitle + "." + m_strExt
    std::string GetFileName() const;
    // m_strTargetName + "." + m_strTargetExt
    std::string GetTargetFileName() const;
    // m_strTargetFolder + m_strTargetName + "." + m_strTargetExt
    std::string GetTargetPath() const;

    // Chooses a free output name in the folder: title[-suffix].extension, else
    // title[-suffix][n].extension for the first n in 1..999 that names nothing on disk (file or
    // folder), else n = 1000 untested. Stores m_strTargetFolder (with a final "/" unless empty),
    // m_strTargetName (without extension) and m_strTargetExt.
    void MakeTargetName(const std::string& strFolder, const std::string& strExtension,
                        const std::string& strSuffix);

    std::string m_strPath;  // full path of the source file
    std::string m_strExt;   // the source's extension, without the dot
    std::string m_strTitle; // file name without folder and extension
    std::uint16_t m_nBitsPerSample = 0;
    std::uint32_t m_nSamplesPerSec = 0;
    std::uint16_t m_nChannels = 0;
    std::int32_t m_nDuration = 0; // whole seconds
    std::uint16_t m_nFormatTag = 0;
    std::uint32_t m_nAvgBytesPerSec = 0;
    std::uint16_t m_nBlockAlign = 0;
    std::string m_strTargetFolder; // output folder, ends in "/"
    std::string m_strTargetName;   // output file name without extension
    std::string m_strTargetExt;    // output extension, without the dot
    std::int32_t m_nStart = 0;     // start of the part to convert, seconds
    std::int32_t m_nEnd = 0;       // end of the part to convert, seconds
    std::int32_t m_bConverted = 0; // 1 once converted successfully
    std::int32_t m_nStatus = kStatusReady;
};

// The record the system creates for every source; a copy copies every field of both classes.
class FileMediaFormat : public FileAudioFormat {
public:
    FileMediaFormat() = default;
    FileMediaFormat(const FileMediaFormat&) = default;
    FileMediaFormat& operator=(const FileMediaFormat&) = default;
    ~FileMediaFormat() override = default;

    std::string m_strDuration; // "%s (%d s)", or "0 (0 s)"
    std::string m_strBitrate;  // "%s kb/s"
    std::string m_strVideo;    // last video stream of the report
    std::string m_strAudio;    // last audio stream of the report
};

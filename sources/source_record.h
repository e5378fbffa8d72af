#pragma once
// The source record: everything known about one file of the source list.
#include <cstdint>
#include <functional>
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
    // folder), else n = 1000 untested. A title too long for the file system's name limit is
    // shortened at a whole character (sources/target_name.h). Stores m_strTargetFolder (with a
    // final "/" unless empty), m_strTargetName (without extension) and m_strTargetExt.
    void MakeTargetName(const std::string& strFolder, const std::string& strExtension,
                        const std::string& strSuffix);

    // MakeTargetName for conversions that run side by side: the first free name is claimed by
    // creating it as an empty file, so that two sources choosing at the same moment (or another
    // program) never get the same name. beforeClaim, when given, is called with the path just
    // before each attempt to create it (a journal notes the name there first). True when the
    // chosen name was created here; the caller then owns the empty file (the encoder replaces
    // it). False when the folder takes no new file (the name is chosen as MakeTargetName would)
    // or all 1,000 names were taken.
    bool ReserveTargetName(const std::string& strFolder, const std::string& strExtension,
                           const std::string& strSuffix,
                           const std::function<void(const std::string& strPath)>& beforeClaim = {});

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

private:
    // The candidate names in order; the first for which isFree(path) holds is taken.
    void ChooseTargetName(const std::string& strFolder, const std::string& strExtension,
                          const std::string& strSuffix,
                          const std::function<bool(const std::string&)>& isFree);
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

#pragma once
// The text of the file information panel: the file name, the duration and bit rate the encoder
// reported, and the video and audio streams. Lines end with "\r\n".
#include <string>

class FileMediaFormat;

// One stream section: empty when the stream text holds no comma; with one comma
// "\r\n<label>:\r\n <text>"; otherwise the text is cut after its second comma and the two parts
// stand on their own lines, each after one blank.
std::string InfoPanelStreamSection(const char* pszLabel, const std::string& strStream);

// The whole panel text for a record: the file name, an empty line, "Duration:", "Bitrate:", the
// video section and the audio section; or the file name and "Unknown file format." when the record
// has no duration text.
std::string InfoPanelText(const FileMediaFormat& record);

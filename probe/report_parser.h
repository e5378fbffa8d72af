#pragma once
// Turns the encoder's report on an input into the fields of a source record.
#include <string>

#include "sources/source_record.h"

// Parses a report (the text ends at its first zero byte; lines end with a line feed, possibly
// after a carriage return) into the record:
// - m_nDuration and m_strDuration from the first "Duration: " line: "HH:MM:SS.ff, ..." gives
//   (HH * 60 + MM) * 60 + SS whole seconds (fractions dropped; a duration under one second with a
//   fraction that is not zero, "00:00:00.40", counts its started second and gives 1) and "%s (%d
//   s)" of the text before the first comma (at most 99 characters). A line without a comma or
//   without the three time fields gives 0 and "0 (0 s)". Without a "Duration: " line the duration
//   is 0 and the text is left as it was.
// - m_strBitrate: "%s kb/s" of the number after the line's "bitrate:" field, or "" when the line
//   has none (left as it was when the line cannot be parsed).
// - m_strVideo / m_strAudio: for each "Stream #" line ended by a line feed, the text after its
//   second colon (with its leading blank), for the last video and the last audio line; a stream
//   line without that text sets "". A "Stream #" without a line feed after it ends the scan.
// Lines are cut to 199 characters before they are looked at.
void ParseEncoderReport(const std::string& report, FileMediaFormat& record);

// Fills the record's path fields and segment: m_strPath = path, m_nStart = 0, m_nEnd =
// m_nDuration, m_strExt = the text after the file name's last dot (a dot in a folder name does not
// count; a name without a dot leaves m_strExt as it was), m_strTitle = the file name without
// folder and extension.
void FillRecordFromPath(const std::string& path, FileMediaFormat& record);

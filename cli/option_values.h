#pragma once
// The values the options accept, looked up in the target catalogue. Each lookup returns the list
// position of the form's setting (position p stands for table row p - 1), or nullopt when the
// text names nothing in the catalogue. Names are compared without regard to letter case.
#include <optional>
#include <string>
#include <string_view>

namespace cli {

// Target format index 0..9 by name: "mp4" (also "mpeg-4", "mpeg4"), "mov" (also "h.264",
// "h264"), "dvd", "vcd", "svcd", "dv", and the formats without a conversion path "wmv", "3gp",
// "ogm", "avi".
std::optional<int> FormatByName(std::string_view text);
// The names "--format" accepts for a runnable format, for messages: "mp4, mov, dvd, vcd, svcd, dv".
std::string FormatNames();

// Video standard index 0..2: "ntsc", "pal", "film" (also "ntsc-film").
std::optional<int> StandardByName(std::string_view text);

// Size list position of a labelled row of the size table ("iPod nano", "iPhone4", ...).
std::optional<int> SizePositionByDevice(std::string_view text);
// Size list position of a row with this width and height, or nullopt when the table has none.
std::optional<int> SizePositionBySize(int nWidth, int nHeight);

// Frame rate position: "14.985", "23.976", "29.97" (written with up to three decimals).
std::optional<int> FrameRatePosition(std::string_view text);
// Video bit rate position by kbit/s ("768").
std::optional<int> VideoBitRatePosition(std::string_view text);
// Audio bit rate position by kbit/s ("128").
std::optional<int> AudioBitRatePosition(std::string_view text);
// Channels position: "1", "2", "mono", "stereo".
std::optional<int> ChannelsPosition(std::string_view text);
// Sample rate position by hertz ("44100").
std::optional<int> SampleRatePosition(std::string_view text);

// The accepted values of a table, for messages: "128, 256, ... 2500".
std::string FrameRateNames();
std::string VideoBitRateNames();
std::string AudioBitRateNames();
std::string SampleRateNames();

// A positive whole number written with digits only, at most `nMax`; nullopt otherwise.
std::optional<int> ParsePositive(std::string_view text, int nMax);

// True when the two texts are equal but for the case of ASCII letters (device names, "mono").
bool SameText(std::string_view a, std::string_view b);

} // namespace cli

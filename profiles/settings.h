#pragma once
// The three settings kept between runs, under the application key. There is no cache: every
// function opens the key, does its one read or write and closes it, so a value written in a run
// is what later reads in that run see. A key that cannot be opened, a missing value or a value of
// another type reads as the default; a failed write changes nothing and returns false, and
// SettingsFaultLine names the cause.
#include <cstdint>
#include <string>

// The application key below the local-machine root.
inline constexpr char kApplicationKeyPath[] = "Software\\Velmora\\Lumicast";

// Value names.
inline constexpr char kHiddenToolTipsValue[] = "HiddenToolTips";
inline constexpr char kLanguageValue[] = "Language";
inline constexpr char kOutputPathValue[] = "OutputPath";

// "Language" when no language module is chosen: the built-in English interface.
inline constexpr std::int32_t kNoLanguage = -1;

// True when "HiddenToolTips" holds "TRUE" in any letter case: the start-up help window has been
// closed once and is not shown again.
bool ReadHiddenToolTips();
// Stores "HiddenToolTips" = "TRUE" (after the help window was closed).
bool WriteHiddenToolTips();

// The stored interface language identifier, or kNoLanguage.
std::int32_t ReadLanguageSetting();
bool WriteLanguageSetting(std::int32_t id);

// The stored output folder when it names an existing folder (given a trailing "/" if it lacks
// one), else DefaultOutputFolder(). The folder is not created here.
std::string ReadOutputPathSetting();
// Stores the folder as "OutputPath", with a trailing "/" added when missing (an empty text is
// stored as it is, and reads back as the default).
bool WriteOutputPathSetting(const std::string& folder);

// $HOME/ConvertedMedia/ (ending in "/").
std::string DefaultOutputFolder();

// The file that holds the settings ("" when the user has no configuration folder).
std::string SettingsFilePath();

// One plain line naming what is wrong with the settings file and what the application does about
// it, or "" when nothing is: the file cannot be read (the defaults are used, the file is left as
// it is), is damaged (what could be read is used, and a copy is kept before it is rewritten), or
// cannot be written (changes in this run are not kept).
std::string SettingsFaultLine();

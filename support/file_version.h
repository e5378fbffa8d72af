#pragma once
// The version of an executable file: the fixed version information of a PE file's version
// resource, or of the version record our build embeds in its ELF executables.
#include "support/version_record.h"

#include <string>

// Reads the version. On success writes the description of the fixed information to standard
// output and sets major, minor and third (the high and low words of the file version's most
// significant double word, and the high word of the least significant one). On failure writes
// "Unable to access file \"<path>\" : <reason>" and a line end, leaves the outputs alone and
// returns false. Callers set the outputs to 0 first, so an unreadable file reads as 0.0.0.
bool GetFileVersion(const std::string& path, int& major, int& minor, int& third);

// The same look-up without output: the fixed information, or false with the reason in strError.
bool ReadFileVersionInfo(const std::string& path, FixedFileInfo& info, std::string& strError);

#pragma once
// The name of a source's output file, the rule the window and lumicast-batch share: the title, a
// hyphen and the suffix, "[n]" from the second name on, and the extension. A title too long for the
// file system's name limit is shortened at a whole UTF-8 character so that the rest always fits.
#include <cstddef>
#include <string>

// The base name (without extension) of candidate n: title + "-" + suffix (no hyphen for an empty
// suffix) + "[n]" (only for n > 0). The title is cut, never within a UTF-8 character, so that the
// base, a dot and the extension take at most nNameMax bytes; the suffix, the counter and the
// extension are never cut.
std::string TargetBaseName(const std::string& strTitle, const std::string& strSuffix, int n,
                           const std::string& strExtension, std::size_t nNameMax);

// The candidates are n = 0, 1, 2, ... 999; after 999 names in use the name with n = 1000 is taken
// untested.
inline constexpr int kLastTestedTargetName = 999;

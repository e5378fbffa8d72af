#pragma once
// The option text that stands in the middle of the encoder command line.
#include <string>

#include "profiles/conversion_settings.h"

namespace profiles {

// Builds the option text for the settings. For MPEG-4 and H.264 it is a sequence of
// " -name value" options (" -vcodec xvid" first), read after Make size consistent is applied to a
// copy of the settings; a caller that wants the form to show the corrected width and height
// applies MakeSizeConsistent to its own record too. For DVD, VCD, SVCD and DV it is the single
// option "-target <standard>-<name>" without a leading space. Formats without a conversion path
// give "".
std::string BuildEncoderOptions(const ConversionSettings& settings);

} // namespace profiles

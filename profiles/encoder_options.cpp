// The option text of the encoder command line, built from the conversion settings.
#include "profiles/encoder_options.h"

#include "lang/resource_strings.h"
#include "profiles/catalogue.h"

namespace profiles {
namespace {

// The number fields accept digits only. A text holding anything else (which the form never lets
// through) could carry further options into the command line, so it yields no option at all.
bool DigitsOnly(const std::string& text) {
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// A Max or Min text that gives an option: not empty, not "0", digits only.
bool RateTextGivesOption(const std::string& text) {
    return !text.empty() && text != "0" && DigitsOnly(text);
}

std::string PlayerOptions(ConversionSettings settings) {
    std::string options = " -vcodec xvid";

    settings.MakeSizeConsistent();
    if (settings.m_strWidth != "0" && settings.m_strHeight != "0" &&
        DigitsOnly(settings.m_strWidth) && DigitsOnly(settings.m_strHeight)) {
        options += " -s " + settings.m_strWidth + "x" + settings.m_strHeight;
    }

    if (const auto rate = FrameRateAt(settings.m_nFrameRatePos)) {
        options += lang::Format(" -r %.3f", *rate);
    }

    const auto videoRate = VideoBitRateAt(settings.m_nVideoBitRatePos);
    if (!settings.m_bVariableBitRate) {
        if (videoRate) {
            options += lang::Format(" -b %d", *videoRate);
        }
    } else {
        if (videoRate) {
            options += lang::Format(" -bt %d", *videoRate);
        }
        if (RateTextGivesOption(settings.m_strMaxRate)) {
            options += " -maxrate " + settings.m_strMaxRate;
        }
        if (RateTextGivesOption(settings.m_strMinRate)) {
            options += " -minrate " + settings.m_strMinRate;
        }
    }

    if (const auto channels = ChannelsAt(settings.m_nChannelsPos)) {
        options += lang::Format(" -ac %d", *channels);
    }
    if (const auto audioRate = AudioBitRateAt(settings.m_nAudioBitRatePos)) {
        options += lang::Format(" -ab %d", *audioRate);
    }
    if (const auto sampleRate = SampleRateAt(settings.m_nSampleRatePos)) {
        options += lang::Format(" -ar %d", *sampleRate);
    }
    // The volume setting gives no option.
    return options;
}

} // namespace

std::string BuildEncoderOptions(const ConversionSettings& settings) {
    switch (settings.m_nFormat) {
    case kFormatMpeg4:
    case kFormatH264:
        return PlayerOptions(settings);
    case kFormatDvd:
    case kFormatVcd:
    case kFormatSvcd:
    case kFormatDv:
        return StandardTargetPrefix(settings.m_nStandard) + FormatTargetName(settings.m_nFormat);
    default:
        return "";
    }
}

} // namespace profiles

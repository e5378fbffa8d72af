// The steps the form applies to its conversion settings.
#include "profiles/conversion_settings.h"

#include "lang/resource_strings.h"
#include "profiles/catalogue.h"

namespace profiles {

void ConversionSettings::OnSizeChoiceChanged(int nPosition) {
    const auto size = FrameSizeAt(nPosition);
    m_nSizePos = size ? nPosition : 0;
    if (size) {
        m_strWidth = lang::Format("%d", size->nWidth);
        m_strHeight = lang::Format("%d", size->nHeight);
    } else {
        m_strWidth = "0";
        m_strHeight = "0";
    }
}

void ConversionSettings::OnVariableBitRateToggled(bool bChecked) {
    m_bVariableBitRate = bChecked;
}

FieldStates ConversionSettings::EnabledFields() const {
    return FieldStates{m_bVariableBitRate, m_bVariableBitRate};
}

void ConversionSettings::MakeSizeConsistent() {
    // Both texts are read before either changes.
    const bool bWidthZero = m_strWidth == "0";
    const bool bHeightZero = m_strHeight == "0";
    if (bWidthZero) {
        m_strHeight = "0";
    }
    if (bHeightZero) {
        m_strWidth = "0";
    }
}

void ConversionSettings::TakeOver(const ConversionSettings& old) {
    m_nFormat = old.m_nFormat;
    m_nStandard = old.m_nStandard;
    m_nSizePos = old.m_nSizePos;
    m_nFrameRatePos = old.m_nFrameRatePos;
    m_nVideoBitRatePos = old.m_nVideoBitRatePos;
    m_nChannelsPos = old.m_nChannelsPos;
    m_nAudioBitRatePos = old.m_nAudioBitRatePos;
    m_nSampleRatePos = old.m_nSampleRatePos;
    m_nVolumePos = old.m_nVolumePos;
    m_strWidth = old.m_strWidth;
    m_strHeight = old.m_strHeight;
    OnVariableBitRateToggled(old.m_bVariableBitRate);
    m_strMaxRate = old.m_strMaxRate;
    m_strMinRate = old.m_strMinRate;
}

} // namespace profiles

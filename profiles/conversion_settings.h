#pragma once
// The conversion settings record: the state of the form's settings controls as a plain value. The
// form binds its widgets to it and calls the steps below, so the rules live here.
#include <string>

namespace profiles {

// Which settings fields the form enables.
struct FieldStates {
    bool bMaxRate; // "Max:" field
    bool bMinRate; // "Min:" field
};

struct ConversionSettings {
    int m_nFormat = 0;             // target format 0..9 (-1 before the view is initialised)
    int m_nStandard = 0;           // video standard 0..2 (-1 before the view is initialised)
    int m_nSizePos = 0;            // frame size list position 0..14
    std::string m_strWidth = "0";  // "X=" field, digits; "0" means keep
    std::string m_strHeight = "0"; // "Y=" field, digits; "0" means keep
    int m_nFrameRatePos = 0;       // 0..3
    int m_nVideoBitRatePos = 0;    // 0..11
    bool m_bVariableBitRate = false;
    std::string m_strMaxRate;      // "Max:" field, kbit/s, digits
    std::string m_strMinRate;      // "Min:" field, kbit/s, digits
    int m_nChannelsPos = 0;        // 0..2
    int m_nAudioBitRatePos = 0;    // 0..8
    int m_nSampleRatePos = 0;      // 0..3
    int m_nVolumePos = 0;          // hidden volume list, 0..19
    std::string m_strOutputFolder; // "Output Path:" field

    // The state right after the form is initialised: MPEG-4, NTSC, every list on "Keep Original",
    // width and height "0", variable bit rate off, Max and Min empty (the folder is left empty).
    static ConversionSettings StartUp() { return ConversionSettings{}; }

    // Size choice changed: position 0 sets width and height to "0"; position p to the width and
    // height of size row p - 1 ("%d"). A position out of range is treated as 0.
    void OnSizeChoiceChanged(int nPosition);

    // Variable bit rate toggled: stores the check state; Max and Min texts stay as they are.
    void OnVariableBitRateToggled(bool bChecked);

    // Which fields are enabled: Max and Min exactly when variable bit rate is on.
    FieldStates EnabledFields() const;

    // Make size consistent: a width text of "0" clears the height, a height text (as read before
    // the change) of "0" clears the width; an empty text is not "0". Always succeeds.
    void MakeSizeConsistent();

    // Take over settings from the view being replaced: format, standard, every list position
    // (by number), width and height texts, variable bit rate and the Max and Min texts. The
    // output folder is not taken (the new view reads its own).
    void TakeOver(const ConversionSettings& old);
};

} // namespace profiles

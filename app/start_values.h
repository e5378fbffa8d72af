#pragma once
// What start-up learns once for the whole run and hands to the main frame.
#include <cstdint>

struct StartValues {
    // "HiddenToolTips" read "TRUE" at start-up: the help window is not shown after start. Writing
    // the value later in the run does not change it.
    bool bHiddenHelp = false;
    // The interface language selected at start-up; 0 when none was.
    std::uint16_t nLanguage = 0;
};

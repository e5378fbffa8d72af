#pragma once
// The keyboard's lock states for the status bar's CAP, NUM and SCRL indicators. They can be read
// only on an X11 display; elsewhere (Wayland, offscreen) the states are unknown.
#include <optional>

struct LockKeyStates {
    bool bCaps = false;
    bool bNum = false;
    bool bScroll = false;
};

// The current states, or nothing when this display does not tell them.
std::optional<LockKeyStates> ReadLockKeyStates();

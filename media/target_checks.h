#pragma once
// The component checks the Convert command runs before a conversion to the WMV or the OGM target:
// when the components that write the target are missing, the user is asked whether to download
// them, and the conversion does not start.
#include <string>

namespace media {

// What the checks need from the window they run under.
class ITargetCheckHost {
public:
    virtual ~ITargetCheckHost() = default;
    // An OK/Cancel question with a question icon; true when the user chose OK.
    virtual bool AskOkCancel(const std::string& text) = 0;
    // Runs the Download menu command with this id (it opens the command's web page).
    virtual void RunDownloadCommand(int commandId) = 0;
    // A notice with an information icon.
    virtual void ShowNotice(const std::string& text) = 0;
};

// Target format indexes that have a check.
inline constexpr int kTargetWmv = 3;
inline constexpr int kTargetOgm = 5;

// Each returns true when the conversion must not start.
bool CheckWindowsMediaTarget(ITargetCheckHost& host);
bool CheckOggTarget(ITargetCheckHost& host);

// The check for a target format index (Convert runs this before anything else); other targets
// have none and pass.
bool CheckTargetComponents(int targetIndex, ITargetCheckHost& host);

} // namespace media

#pragma once
// Where the pages shipped with the application are, and which page each Download menu command
// opens. Plain C++: the menu handlers and the About dialog call it, and so do tests.
//
// The pages (the help manual and download.html) lie beside the executable in a build, and in
// <prefix>/share/lumicast/help when installed with the executable in <prefix>/libexec/lumicast.
#include <string>

namespace links {

inline constexpr const char* kDownloadPageName = "download.html";
// The folder of the installed pages, relative to the executable's folder.
inline constexpr const char* kInstalledPagesFolder = "../../share/lumicast/help";

// The help manual's file name: the application name with every space removed, plus ".html".
std::string HelpFileName(const std::string& strAppName);

// The full path of a shipped page: beside the executable when it is there, else in the installed
// pages folder when it is there, else (missing everywhere) the path beside the executable, so a
// message about it names the usual place. A relative folder is made absolute with the current
// folder; an empty one counts as the current folder.
std::string ShippedPagePath(const std::string& strProgramFolder, const std::string& strPageName);

// The help manual's full path (ShippedPagePath of HelpFileName).
std::string HelpManualPath(const std::string& strProgramFolder, const std::string& strAppName);

// A file:// address for an absolute path, with every byte outside the unreserved characters and
// "/" percent-encoded, and "#" + the fragment when one is given.
std::string FileUrl(const std::string& strPath, const std::string& strFragment = std::string());

// The section of download.html that a Download command opens ("directx", "lumicast-batch", ...);
// empty for the QuickTime item, whose page is the vendor's, and for any other command.
std::string DownloadSection(int nCommand);

// The address a Download command opens: the shipped download page at the command's section, or
// the QuickTime vendor's page. Empty for a command that is not a Download item.
std::string DownloadAddress(int nCommand, const std::string& strProgramFolder);

// The QuickTime vendor's download page.
inline constexpr const char* kQuickTimeAddress = "https://support.apple.com/downloads/quicktime";

// The project's home page for the About dialog: the shipped manual, which works offline.
std::string HomePageAddress(const std::string& strProgramFolder, const std::string& strAppName);

} // namespace links

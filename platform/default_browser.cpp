#include "platform/default_browser.h"

#include <utility>
#include <vector>

namespace platform {

namespace {

// Where the first of the given codes begins in the text (npos when none is there).
std::string::size_type FirstOf(const std::string& strText, const char* const* codes,
                               std::size_t nCodes) {
    std::string::size_type nFirst = std::string::npos;
    for (std::size_t n = 0; n < nCodes; ++n) {
        const std::string::size_type nPos = strText.find(codes[n]);
        if (nPos < nFirst) {
            nFirst = nPos;
        }
    }
    return nFirst;
}

} // namespace

std::string BrowserCommandLine(const std::string& strExec, const std::string& strAddress) {
    static const char* const kQuoted[] = {"\"%u\"", "\"%U\"", "\"%f\"", "\"%F\""};
    static const char* const kBare[] = {"%u", "%U", "%f", "%F"};
    std::string::size_type nCut = FirstOf(strExec, kQuoted, 4);
    if (nCut == std::string::npos) {
        nCut = FirstOf(strExec, kBare, 4);
    }
    std::string strCommand = nCut == std::string::npos ? strExec : strExec.substr(0, nCut);
    strCommand += ' ';
    strCommand += strAddress;
    return strCommand;
}

std::string FindDefaultBrowserEntry(const XdgFolders& folders) {
    std::string strEntry = FindDefaultDesktopEntry(folders, "x-scheme-handler/https");
    if (strEntry.empty()) {
        strEntry = FindDefaultDesktopEntry(folders, "text/html");
    }
    return strEntry;
}

LaunchResult OpenInDefaultBrowser(const std::string& strAddress, const XdgFolders& folders,
                                  LaunchEndFunction fnEnd) {
    const std::string strEntry = FindDefaultBrowserEntry(folders);
    std::string strExec;
    if (strEntry.empty() || !ReadDesktopEntryValue(strEntry, "Exec", strExec) ||
        strExec.find_first_not_of(" \t") == std::string::npos) {
        return LaunchResult{LaunchFault::kNoHandler, 0};
    }
    // The command without the address is split, and the address follows as one argument, so an
    // address holding spaces or quotes reaches the browser whole.
    std::vector<std::string> args;
    if (!SplitExecLine(BrowserCommandLine(strExec, std::string()), args)) {
        return LaunchResult{LaunchFault::kBadCommand, 0};
    }
    args.push_back(strAddress);
    return LaunchDetached(args, std::move(fnEnd));
}

LaunchResult OpenInDefaultBrowser(const std::string& strAddress, LaunchEndFunction fnEnd) {
    return OpenInDefaultBrowser(strAddress, XdgFoldersFromEnvironment(), std::move(fnEnd));
}

} // namespace platform

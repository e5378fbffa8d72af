#include "platform/desktop_entry.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

#include "platform/user_folders.h"

namespace platform {

namespace {

std::string StripSlash(std::string strFolder) {
    while (strFolder.size() > 1 && strFolder.back() == '/') {
        strFolder.pop_back();
    }
    return strFolder;
}

std::vector<std::string> SplitList(const std::string& strText, char chSeparator) {
    std::vector<std::string> parts;
    std::string::size_type nStart = 0;
    while (nStart <= strText.size()) {
        std::string::size_type nEnd = strText.find(chSeparator, nStart);
        if (nEnd == std::string::npos) {
            nEnd = strText.size();
        }
        parts.push_back(strText.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    return parts;
}

// The absolute folders of a colon-separated variable, or the defaults when it is unset or empty.
std::vector<std::string> FolderList(const char* pszVariable,
                                    const std::vector<std::string>& defaults) {
    const char* pszValue = std::getenv(pszVariable);
    if (pszValue == nullptr || *pszValue == '\0') {
        return defaults;
    }
    std::vector<std::string> folders;
    for (const std::string& strPart : SplitList(pszValue, ':')) {
        if (!strPart.empty() && strPart[0] == '/') {
            folders.push_back(StripSlash(strPart));
        }
    }
    return folders;
}

std::string HomeBased(const char* pszVariable, const char* pszBelowHome) {
    const char* pszValue = std::getenv(pszVariable);
    if (pszValue != nullptr && pszValue[0] == '/') {
        return StripSlash(pszValue);
    }
    const std::string strHome = HomeFolder();
    return strHome.empty() ? std::string() : strHome + pszBelowHome;
}

std::string Trim(const std::string& strText) {
    std::string::size_type nBegin = 0;
    std::string::size_type nEnd = strText.size();
    while (nBegin < nEnd && std::isspace(static_cast<unsigned char>(strText[nBegin])) != 0) {
        ++nBegin;
    }
    while (nEnd > nBegin && std::isspace(static_cast<unsigned char>(strText[nEnd - 1])) != 0) {
        --nEnd;
    }
    return strText.substr(nBegin, nEnd - nBegin);
}

bool IsRegularFile(const std::string& strPath) {
    struct stat st {};
    return stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Reads "key=value" lines of one group of an ini-style file. The value is returned raw.
bool ReadGroupValue(const std::string& strPath, const std::string& strGroup,
                    const std::string& strKey, std::string& strValue) {
    std::ifstream file(strPath);
    if (!file) {
        return false;
    }
    std::string strLine;
    bool bInGroup = false;
    while (std::getline(file, strLine)) {
        const std::string strTrimmed = Trim(strLine);
        if (strTrimmed.empty() || strTrimmed[0] == '#') {
            continue;
        }
        if (strTrimmed[0] == '[') {
            bInGroup = strTrimmed == "[" + strGroup + "]";
            continue;
        }
        if (!bInGroup) {
            continue;
        }
        const std::string::size_type nEqual = strTrimmed.find('=');
        if (nEqual != std::string::npos && Trim(strTrimmed.substr(0, nEqual)) == strKey) {
            strValue = Trim(strTrimmed.substr(nEqual + 1));
            return true;
        }
    }
    return false;
}

bool IsHidden(const std::string& strEntryPath) {
    std::string strHidden;
    return ReadDesktopEntryValue(strEntryPath, "Hidden", strHidden) && strHidden == "true";
}

// The first installed, not hidden entry of a ";"-separated list of desktop ids.
std::string FirstInstalled(const XdgFolders& folders, const std::string& strIds) {
    for (const std::string& strPart : SplitList(strIds, ';')) {
        const std::string strId = Trim(strPart);
        if (strId.empty()) {
            continue;
        }
        const std::string strPath = FindDesktopEntry(folders, strId);
        if (!strPath.empty() && !IsHidden(strPath)) {
            return strPath;
        }
    }
    return std::string();
}

// The mimeapps.list files in the order the lookup reads them.
std::vector<std::string> MimeAppsLists(const XdgFolders& folders) {
    std::vector<std::string> lists;
    auto add = [&](const std::string& strFolder) {
        if (strFolder.empty()) {
            return;
        }
        for (const std::string& strDesktop : folders.currentDesktops) {
            lists.push_back(strFolder + "/" + strDesktop + "-mimeapps.list");
        }
        lists.push_back(strFolder + "/mimeapps.list");
    };
    add(folders.strConfigHome);
    for (const std::string& strFolder : folders.configDirs) {
        add(strFolder);
    }
    add(folders.strDataHome.empty() ? std::string() : folders.strDataHome + "/applications");
    for (const std::string& strFolder : folders.dataDirs) {
        add(strFolder + "/applications");
    }
    return lists;
}

std::vector<std::string> ApplicationFolders(const XdgFolders& folders) {
    std::vector<std::string> apps;
    if (!folders.strDataHome.empty()) {
        apps.push_back(folders.strDataHome + "/applications");
    }
    for (const std::string& strFolder : folders.dataDirs) {
        apps.push_back(strFolder + "/applications");
    }
    return apps;
}

} // namespace

XdgFolders XdgFoldersFromEnvironment() {
    XdgFolders folders;
    folders.strConfigHome = HomeBased("XDG_CONFIG_HOME", "/.config");
    folders.configDirs = FolderList("XDG_CONFIG_DIRS", {"/etc/xdg"});
    folders.strDataHome = HomeBased("XDG_DATA_HOME", "/.local/share");
    folders.dataDirs = FolderList("XDG_DATA_DIRS", {"/usr/local/share", "/usr/share"});
    const char* pszDesktop = std::getenv("XDG_CURRENT_DESKTOP");
    if (pszDesktop != nullptr) {
        for (std::string strName : SplitList(pszDesktop, ':')) {
            if (strName.empty() || strName.find('/') != std::string::npos) {
                continue;
            }
            for (char& ch : strName) {
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            }
            folders.currentDesktops.push_back(strName);
        }
    }
    return folders;
}

std::string FindDesktopEntry(const XdgFolders& folders, const std::string& strDesktopId) {
    if (strDesktopId.empty() || strDesktopId.find('/') != std::string::npos ||
        strDesktopId[0] == '.') {
        return std::string();
    }
    for (const std::string& strApps : ApplicationFolders(folders)) {
        const std::string strDirect = strApps + "/" + strDesktopId;
        if (IsRegularFile(strDirect)) {
            return strDirect;
        }
        // "vendor-name.desktop" may live as "vendor/name.desktop", one dash at a time.
        std::string strNested = strDesktopId;
        for (std::string::size_type nDash = strNested.find('-'); nDash != std::string::npos;
             nDash = strNested.find('-', nDash + 1)) {
            strNested[nDash] = '/';
            if (IsRegularFile(strApps + "/" + strNested)) {
                return strApps + "/" + strNested;
            }
        }
    }
    return std::string();
}

std::string FindDefaultDesktopEntry(const XdgFolders& folders, const std::string& strMimeType) {
    if (strMimeType.empty()) {
        return std::string();
    }
    std::string strIds;
    for (const std::string& strList : MimeAppsLists(folders)) {
        if (ReadGroupValue(strList, "Default Applications", strMimeType, strIds)) {
            std::string strPath = FirstInstalled(folders, strIds);
            if (!strPath.empty()) {
                return strPath;
            }
        }
    }
    // The older per-folder defaults, then any installed application that declares the type.
    for (const std::string& strApps : ApplicationFolders(folders)) {
        if (ReadGroupValue(strApps + "/defaults.list", "Default Applications", strMimeType,
                           strIds)) {
            std::string strPath = FirstInstalled(folders, strIds);
            if (!strPath.empty()) {
                return strPath;
            }
        }
    }
    for (const std::string& strList : MimeAppsLists(folders)) {
        if (ReadGroupValue(strList, "Added Associations", strMimeType, strIds)) {
            std::string strPath = FirstInstalled(folders, strIds);
            if (!strPath.empty()) {
                return strPath;
            }
        }
    }
    for (const std::string& strApps : ApplicationFolders(folders)) {
        if (ReadGroupValue(strApps + "/mimeinfo.cache", "MIME Cache", strMimeType, strIds)) {
            std::string strPath = FirstInstalled(folders, strIds);
            if (!strPath.empty()) {
                return strPath;
            }
        }
    }
    return std::string();
}

bool ReadDesktopEntryValue(const std::string& strPath, const std::string& strKey,
                           std::string& strValue) {
    std::string strRaw;
    if (!ReadGroupValue(strPath, "Desktop Entry", strKey, strRaw)) {
        return false;
    }
    strValue.clear();
    for (std::string::size_type n = 0; n < strRaw.size(); ++n) {
        if (strRaw[n] != '\\' || n + 1 == strRaw.size()) {
            strValue += strRaw[n];
            continue;
        }
        const char chNext = strRaw[++n];
        switch (chNext) {
        case 's':
            strValue += ' ';
            break;
        case 'n':
            strValue += '\n';
            break;
        case 't':
            strValue += '\t';
            break;
        case 'r':
            strValue += '\r';
            break;
        case '\\':
            strValue += '\\';
            break;
        default: // not a string escape: kept for the Exec rules
            strValue += '\\';
            strValue += chNext;
            break;
        }
    }
    return true;
}

bool SplitExecLine(const std::string& strExec, std::vector<std::string>& args) {
    args.clear();
    std::string strCurrent;
    bool bHaveArgument = false; // a quoted empty argument still counts
    bool bOnlyFieldCodes = true;
    auto finish = [&] {
        if (bHaveArgument && !(strCurrent.empty() && bOnlyFieldCodes)) {
            args.push_back(strCurrent);
        }
        strCurrent.clear();
        bHaveArgument = false;
        bOnlyFieldCodes = true;
    };
    std::string::size_type n = 0;
    while (n < strExec.size()) {
        const char ch = strExec[n];
        if (ch == ' ' || ch == '\t') {
            finish();
            ++n;
            continue;
        }
        bHaveArgument = true;
        if (ch == '"') {
            bOnlyFieldCodes = false;
            ++n;
            bool bClosed = false;
            while (n < strExec.size()) {
                const char chIn = strExec[n];
                if (chIn == '"') {
                    bClosed = true;
                    ++n;
                    break;
                }
                if (chIn == '\\' && n + 1 < strExec.size() &&
                    (strExec[n + 1] == '"' || strExec[n + 1] == '`' || strExec[n + 1] == '$' ||
                     strExec[n + 1] == '\\')) {
                    strCurrent += strExec[n + 1];
                    n += 2;
                    continue;
                }
                strCurrent += chIn;
                ++n;
            }
            if (!bClosed) {
                args.clear();
                return false;
            }
            continue;
        }
        if (ch == '%' && n + 1 < strExec.size()) {
            if (strExec[n + 1] == '%') {
                strCurrent += '%';
                bOnlyFieldCodes = false;
            }
            n += 2; // any other field code is dropped
            continue;
        }
        strCurrent += ch;
        bOnlyFieldCodes = false;
        ++n;
    }
    finish();
    return !args.empty();
}

} // namespace platform

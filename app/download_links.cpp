#include "app/download_links.h"

#include <filesystem>
#include <system_error>

#include "lang/resource_ids.h"

namespace links {

namespace {

struct SectionRow {
    int nCommand;
    const char* pszSection;
};

// The five product items, then the components.
constexpr SectionRow kSections[] = {
    {ids::kCmdProductFirst + 0, "lumicast"},  {ids::kCmdProductFirst + 1, "lumicast-batch"},
    {ids::kCmdProductFirst + 2, "kestrelvx"}, {ids::kCmdProductFirst + 3, "language-modules"},
    {ids::kCmdProductFirst + 4, "source"},    {ids::kCmdDirectX, "directx"},
    {ids::kCmdMediaPlayer, "wmplayer"},       {ids::kCmdRealPlayer, "realplayer"},
    {ids::kCmdOggCodec, "oggcodecs"},
};

std::filesystem::path AbsoluteFolder(const std::string& strFolder) {
    std::error_code error;
    std::filesystem::path folder =
        strFolder.empty() ? std::filesystem::path(".") : std::filesystem::path(strFolder);
    std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    return error ? folder : absolute;
}

bool IsFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

std::string HelpFileName(const std::string& strAppName) {
    std::string strName;
    for (const char ch : strAppName) {
        if (ch != ' ') {
            strName += ch;
        }
    }
    return strName + ".html";
}

std::string ShippedPagePath(const std::string& strProgramFolder, const std::string& strPageName) {
    const std::filesystem::path folder = AbsoluteFolder(strProgramFolder);
    const std::filesystem::path beside = folder / strPageName;
    if (IsFile(beside)) {
        return beside.lexically_normal().string();
    }
    const std::filesystem::path installed = folder / kInstalledPagesFolder / strPageName;
    if (IsFile(installed)) {
        return installed.lexically_normal().string();
    }
    return beside.lexically_normal().string();
}

std::string HelpManualPath(const std::string& strProgramFolder, const std::string& strAppName) {
    return ShippedPagePath(strProgramFolder, HelpFileName(strAppName));
}

std::string FileUrl(const std::string& strPath, const std::string& strFragment) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string strUrl = "file://";
    for (const char ch : strPath) {
        const auto by = static_cast<unsigned char>(ch);
        const bool bPlain = (by >= 'A' && by <= 'Z') || (by >= 'a' && by <= 'z') ||
                            (by >= '0' && by <= '9') || by == '-' || by == '.' || by == '_' ||
                            by == '~' || by == '/';
        if (bPlain) {
            strUrl += ch;
        } else {
            strUrl += '%';
            strUrl += kHex[by >> 4];
            strUrl += kHex[by & 0x0F];
        }
    }
    if (!strFragment.empty()) {
        strUrl += '#';
        strUrl += strFragment;
    }
    return strUrl;
}

std::string DownloadSection(int nCommand) {
    for (const SectionRow& row : kSections) {
        if (row.nCommand == nCommand) {
            return row.pszSection;
        }
    }
    return std::string();
}

std::string DownloadAddress(int nCommand, const std::string& strProgramFolder) {
    if (nCommand == ids::kCmdQuickTime) {
        return kQuickTimeAddress;
    }
    const std::string strSection = DownloadSection(nCommand);
    if (strSection.empty()) {
        return std::string();
    }
    return FileUrl(ShippedPagePath(strProgramFolder, kDownloadPageName), strSection);
}

std::string HomePageAddress(const std::string& strProgramFolder, const std::string& strAppName) {
    return FileUrl(HelpManualPath(strProgramFolder, strAppName));
}

} // namespace links

// The pages shipped beside the programs: every local link and anchor between them resolves, in
// the build and in the installed layout, and every Download command opens a section that exists.
#include "app/download_links.h"
#include "lang/resource_ids.h"

#include "common/testkit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* const kPages[] = {"Lumicast.html", "download.html"};

std::string ReadFile(const fs::path& path) {
    return testkit::ReadFile(path.string());
}

std::vector<std::string> Matches(const std::string& strText, const std::regex& pattern) {
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(strText.begin(), strText.end(), pattern);
         it != std::sregex_iterator(); ++it) {
        found.push_back((*it)[2].str());
    }
    return found;
}

std::set<std::string> Anchors(const fs::path& page) {
    static const std::regex kId(R"re(\b(id)="([^"]*)")re");
    const std::vector<std::string> ids = Matches(ReadFile(page), kId);
    return std::set<std::string>(ids.begin(), ids.end());
}

// Checks every href and src of the pages in a folder; collects the external addresses met.
void CheckLinks(const fs::path& folder, std::set<std::string>& external) {
    static const std::regex kLink(R"re(\b(href|src)="([^"]*)")re");
    for (const char* pszPage : kPages) {
        const fs::path page = folder / pszPage;
        SCOPED_TRACE(page.string());
        ASSERT_TRUE(fs::is_regular_file(page));
        const std::string strText = ReadFile(page);
        // Anchors are unique within a page.
        static const std::regex kId(R"re(\b(id)="([^"]*)")re");
        const std::vector<std::string> ids = Matches(strText, kId);
        EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), ids.size());

        for (const std::string& strLink : Matches(strText, kLink)) {
            SCOPED_TRACE(strLink);
            if (strLink.rfind("https://", 0) == 0 || strLink.rfind("http://", 0) == 0) {
                external.insert(strLink);
                continue;
            }
            ASSERT_FALSE(strLink.empty());
            ASSERT_EQ(strLink.find(':'), std::string::npos) << "no other scheme is used";
            const std::string::size_type nHash = strLink.find('#');
            const std::string strFile = strLink.substr(0, nHash);
            const fs::path target = strFile.empty() ? page : folder / strFile;
            EXPECT_TRUE(fs::is_regular_file(target)) << target;
            if (nHash != std::string::npos && fs::is_regular_file(target)) {
                EXPECT_EQ(Anchors(target).count(strLink.substr(nHash + 1)), 1u);
            }
        }
    }
}

int AllDownloadCommands[] = {ids::kCmdProductFirst,     ids::kCmdProductFirst + 1,
                             ids::kCmdProductFirst + 2, ids::kCmdProductFirst + 3,
                             ids::kCmdProductLast,      ids::kCmdDirectX,
                             ids::kCmdMediaPlayer,      ids::kCmdRealPlayer,
                             ids::kCmdQuickTime,        ids::kCmdOggCodec};

TEST(HelpPages, LinksResolveBesideThePrograms) {
    std::set<std::string> external;
    CheckLinks(testkit::BinDir(), external);
    // The only address outside the shipped pages is the QuickTime vendor's.
    EXPECT_EQ(external, std::set<std::string>{links::kQuickTimeAddress});
    const std::set<std::string> manual = Anchors(fs::path(testkit::BinDir()) / "Lumicast.html");
    for (const char* pszSection : {"adding", "settings", "preview", "converting", "outputs",
                                   "language", "batch", "log", "install"}) {
        EXPECT_EQ(manual.count(pszSection), 1u) << pszSection;
    }
}

TEST(HelpPages, InstalledLayoutHoldsThePagesAndTheLookupFindsThem) {
    testkit::TempDir prefix;
    const std::string strInstall =
        "cmake -DCMAKE_INSTALL_PREFIX=" + testkit::ShellQuote(prefix.Path()) + " -P " +
        testkit::ShellQuote(testkit::BuildDir() + "/help/cmake_install.cmake") + " > /dev/null";
    ASSERT_EQ(testkit::Shell(strInstall), 0);
    const fs::path pages = fs::path(prefix.Path()) / "share/lumicast/help";
    std::set<std::string> external;
    CheckLinks(pages, external);

    // The executable in the program folder <prefix>/libexec/lumicast finds the installed pages.
    fs::create_directories(prefix.File("libexec/lumicast"));
    EXPECT_EQ(links::HelpManualPath(prefix.File("libexec/lumicast"), "Lumicast"),
              (pages / "Lumicast.html").string());
    EXPECT_EQ(links::DownloadAddress(ids::kCmdOggCodec, prefix.File("libexec/lumicast")),
              "file://" + (pages / "download.html").string() + "#oggcodecs");
    // Pages beside the executable win over the installed ones.
    std::ofstream(prefix.File("libexec/lumicast/Lumicast.html")) << "<html></html>";
    EXPECT_EQ(links::HelpManualPath(prefix.File("libexec/lumicast"), "Lumicast"),
              prefix.File("libexec/lumicast/Lumicast.html"));
}

TEST(DownloadLinks, EveryCommandOpensAnExistingSection) {
    const std::string strBin = testkit::BinDir();
    const std::set<std::string> sections = Anchors(fs::path(strBin) / "download.html");
    std::set<std::string> seen;
    for (const int nCommand : AllDownloadCommands) {
        SCOPED_TRACE(nCommand);
        const std::string strAddress = links::DownloadAddress(nCommand, strBin);
        if (nCommand == ids::kCmdQuickTime) {
            EXPECT_EQ(strAddress, links::kQuickTimeAddress);
            continue;
        }
        const std::string strSection = links::DownloadSection(nCommand);
        EXPECT_EQ(sections.count(strSection), 1u);
        EXPECT_TRUE(seen.insert(strSection).second) << "each item has a section of its own";
        EXPECT_EQ(strAddress, links::FileUrl(strBin + "/download.html", strSection));
    }
    EXPECT_EQ(links::DownloadSection(ids::kCmdDirectX), "directx");
    EXPECT_EQ(links::DownloadSection(ids::kCmdMediaPlayer), "wmplayer");
    EXPECT_EQ(links::DownloadSection(ids::kCmdRealPlayer), "realplayer");
    EXPECT_EQ(links::DownloadSection(ids::kCmdOggCodec), "oggcodecs");
    // Commands outside the Download menu open nothing.
    EXPECT_EQ(links::DownloadAddress(ids::kCmdHelpContents, strBin), "");
    EXPECT_EQ(links::DownloadAddress(ids::kCmdProductFirst - 1, strBin), "");
    EXPECT_EQ(links::DownloadAddress(ids::kCmdOggCodec + 1, strBin), "");
}

TEST(DownloadLinks, ManualPathAndFileAddresses) {
    EXPECT_EQ(links::HelpFileName("Lumicast"), "Lumicast.html");
    EXPECT_EQ(links::HelpFileName(" Lumi cast "), "Lumicast.html");
    EXPECT_EQ(links::HelpManualPath(testkit::BinDir(), "Lumicast"),
              testkit::BinDir() + "/Lumicast.html");
    EXPECT_EQ(links::HomePageAddress(testkit::BinDir(), "Lumicast"),
              "file://" + testkit::BinDir() + "/Lumicast.html");

    // Nowhere to be found: the path beside the executable, for the message that names it.
    testkit::TempDir empty;
    EXPECT_EQ(links::HelpManualPath(empty.Path(), "Lumicast"), empty.File("Lumicast.html"));
    // A relative folder is taken from the current folder, never left relative.
    EXPECT_EQ(links::HelpManualPath("", "Lumicast"),
              (fs::current_path() / "Lumicast.html").lexically_normal().string());

    // Characters that would end or change an address are encoded; the fragment is not.
    EXPECT_EQ(links::FileUrl("/a b/#1%/d\xC3\xA9j\xC3\xA0/download.html", "wmplayer"),
              "file:///a%20b/%231%25/d%C3%A9j%C3%A0/download.html#wmplayer");
}

} // namespace

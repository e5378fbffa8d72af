#include "platform/default_browser.h"

#include "common/testkit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using testkit::ReadFile;
using testkit::WriteFile;

// A private set of XDG folders: nothing of the machine's own configuration is read.
class BrowserFolders : public ::testing::Test {
protected:
    void SetUp() override {
        m_folders.strConfigHome = m_dir.File("config");
        m_folders.configDirs = {m_dir.File("etc-xdg")};
        m_folders.strDataHome = m_dir.File("data");
        m_folders.dataDirs = {m_dir.File("share")};
        // A fake browser that writes each argument it gets on its own line.
        m_strBrowser = m_dir.File("bin dir/fake browser");
        m_strRecord = m_dir.File("args.txt");
        WriteFile(m_strBrowser, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " +
                                    testkit::ShellQuote(m_strRecord) + ".tmp\n/bin/mv " +
                                    testkit::ShellQuote(m_strRecord) + ".tmp " +
                                    testkit::ShellQuote(m_strRecord) + "\n");
        chmod(m_strBrowser.c_str(), 0755);
    }

    // Installs an entry in the data home and names it as the handler of a type.
    void SetHandler(const std::string& strMime, const std::string& strId,
                    const std::string& strExec) {
        WriteFile(m_dir.File("data/applications/" + strId),
                  "[Desktop Entry]\nType=Application\nName=Browser\nExec=" + strExec + "\n");
        std::filesystem::create_directories(m_dir.File("config"));
        std::ofstream(m_dir.File("config/mimeapps.list"), std::ios::app)
            << "[Default Applications]\n"
            << strMime << "=" << strId << ";\n";
    }

    // The arguments the fake browser was started with (waits for it to write them).
    std::vector<std::string> RecordedArguments() {
        testkit::WaitUntil([this] { return std::filesystem::exists(m_strRecord); });
        return testkit::ReadLines(m_strRecord);
    }

    std::string QuotedBrowser() const { return "\"" + m_strBrowser + "\""; }

    platform::LaunchFault Fault(const std::string& strAddress) const {
        return platform::OpenInDefaultBrowser(strAddress, m_folders).fault;
    }

    testkit::TempDir m_dir;
    platform::XdgFolders m_folders;
    std::string m_strBrowser;
    std::string m_strRecord;
};

TEST(BrowserCommandLine, CutsAtTheQuotedCodeElseTheBareOneElseAppends) {
    // The quoted code is cut with its quotes; the space before it stays.
    EXPECT_EQ(platform::BrowserCommandLine("\"/opt/b/browser\" \"%u\"", "http://x/"),
              "\"/opt/b/browser\"  http://x/");
    EXPECT_EQ(platform::BrowserCommandLine("browser --new-window %U --extra", "a"),
              "browser --new-window  a");
    EXPECT_EQ(platform::BrowserCommandLine("browser -a %F", "a"), "browser -a  a");
    // A quoted code later in the line wins over an earlier bare one.
    EXPECT_EQ(platform::BrowserCommandLine("b %f \"%u\"", "a"), "b %f  a");
    EXPECT_EQ(platform::BrowserCommandLine("browser --private", "a"), "browser --private a");
}

TEST(DesktopEntry, ExecLineSplitsByTheQuotingRules) {
    std::vector<std::string> args;
    ASSERT_TRUE(platform::SplitExecLine(
        "\"/opt/my browser/run\" --name=\"a \\\"b\\\"\" 100%% %i \"\" --x=%k", args));
    EXPECT_EQ(args, (std::vector<std::string>{"/opt/my browser/run", "--name=a \"b\"", "100%", "",
                                              "--x="}));
    EXPECT_FALSE(platform::SplitExecLine("\"/opt/unterminated --flag", args));
    EXPECT_FALSE(platform::SplitExecLine("   %U ", args));
}

TEST_F(BrowserFolders, QuotedFieldCodeStartsTheBrowserWithTheAddress) {
    SetHandler("x-scheme-handler/https", "quoted.desktop", QuotedBrowser() + " --new \"%u\"");
    EXPECT_EQ(platform::FindDefaultBrowserEntry(m_folders),
              m_dir.File("data/applications/quoted.desktop"));
    const std::string strAddress = "file:///tmp/a%20b/download.html#oggcodecs";
    EXPECT_TRUE(platform::OpenInDefaultBrowser(strAddress, m_folders).Started());
    EXPECT_EQ(RecordedArguments(), (std::vector<std::string>{"--new", strAddress}));
}

TEST_F(BrowserFolders, BareCodeAndNoCodeAndSubfolderEntries) {
    // A bare %U followed by more options: the options after the code are cut off.
    SetHandler("x-scheme-handler/https", "vendor-bare.desktop", QuotedBrowser() + " -a %U --after");
    // The id "vendor-bare.desktop" is found as vendor/bare.desktop too.
    std::filesystem::create_directories(m_dir.File("data/applications/vendor"));
    std::filesystem::rename(m_dir.File("data/applications/vendor-bare.desktop"),
                            m_dir.File("data/applications/vendor/bare.desktop"));
    EXPECT_TRUE(platform::OpenInDefaultBrowser("https://example.org/", m_folders).Started());
    EXPECT_EQ(RecordedArguments(), (std::vector<std::string>{"-a", "https://example.org/"}));

    std::filesystem::remove(m_strRecord);
    std::filesystem::remove(m_dir.File("config/mimeapps.list"));
    SetHandler("x-scheme-handler/https", "plain.desktop", QuotedBrowser() + " --plain");
    EXPECT_TRUE(platform::OpenInDefaultBrowser("https://example.org/x", m_folders).Started());
    EXPECT_EQ(RecordedArguments(), (std::vector<std::string>{"--plain", "https://example.org/x"}));
}

TEST_F(BrowserFolders, HandlerForTextHtmlOnlyServesAsBrowser) {
    // Set in a data folder's mimeapps.list, with the entry in that data folder.
    WriteFile(m_dir.File("share/applications/html.desktop"),
              "[Desktop Entry]\nType=Application\nExec=" + QuotedBrowser() + " %f\n");
    WriteFile(m_dir.File("share/applications/mimeapps.list"),
              "[Default Applications]\ntext/html=missing.desktop;html.desktop;\n");
    EXPECT_EQ(platform::FindDefaultBrowserEntry(m_folders),
              m_dir.File("share/applications/html.desktop"));
    EXPECT_TRUE(platform::OpenInDefaultBrowser("file:///x.html", m_folders).Started());
    EXPECT_EQ(RecordedArguments(), (std::vector<std::string>{"file:///x.html"}));
}

TEST_F(BrowserFolders, NoUsableHandlerIsNoHandler) {
    EXPECT_EQ(Fault("https://example.org/"), platform::LaunchFault::kNoHandler);
    // Named but not installed, or installed but hidden, or without an Exec line.
    SetHandler("text/html", "gone.desktop", "x");
    std::filesystem::remove(m_dir.File("data/applications/gone.desktop"));
    EXPECT_EQ(Fault("https://example.org/"), platform::LaunchFault::kNoHandler);
    WriteFile(m_dir.File("data/applications/gone.desktop"),
              "[Desktop Entry]\nExec=" + QuotedBrowser() + "\nHidden=true\n");
    EXPECT_EQ(Fault("https://example.org/"), platform::LaunchFault::kNoHandler);
    WriteFile(m_dir.File("data/applications/gone.desktop"), "[Desktop Entry]\nName=No exec\n");
    EXPECT_EQ(Fault("https://example.org/"), platform::LaunchFault::kNoHandler);
    EXPECT_FALSE(std::filesystem::exists(m_strRecord));
}

TEST_F(BrowserFolders, ProgramThatCannotStartGivesItsFault) {
    SetHandler("x-scheme-handler/https", "b.desktop", m_dir.File("bin dir/no-such") + " %u");
    EXPECT_EQ(Fault("a"), platform::LaunchFault::kFileNotFound);
    SetHandler("x-scheme-handler/https", "b.desktop", m_dir.File("no-folder/browser") + " %u");
    EXPECT_EQ(Fault("a"), platform::LaunchFault::kPathNotFound);
    SetHandler("x-scheme-handler/https", "b.desktop", "lumicast-no-such-browser-program %u");
    EXPECT_EQ(Fault("a"), platform::LaunchFault::kFileNotFound);
    WriteFile(m_dir.File("not-runnable"), "#!/bin/sh\n");
    SetHandler("x-scheme-handler/https", "b.desktop", m_dir.File("not-runnable") + " %u");
    EXPECT_EQ(Fault("a"), platform::LaunchFault::kAccessDenied);
    SetHandler("x-scheme-handler/https", "b.desktop", "\"/unterminated %u");
    EXPECT_EQ(Fault("a"), platform::LaunchFault::kBadCommand);
}

TEST_F(BrowserFolders, DesktopSpecificListsComeFirstAndCacheIsTheLastResort) {
    WriteFile(m_dir.File("data/applications/a.desktop"), "[Desktop Entry]\nExec=a\n");
    WriteFile(m_dir.File("data/applications/b.desktop"), "[Desktop Entry]\nExec=b\n");
    WriteFile(m_dir.File("share/applications/mimeinfo.cache"),
              "[MIME Cache]\nx-scheme-handler/https=b.desktop;\n");
    EXPECT_EQ(platform::FindDefaultBrowserEntry(m_folders),
              m_dir.File("data/applications/b.desktop"));
    WriteFile(m_dir.File("config/mimeapps.list"),
              "[Added Associations]\nx-scheme-handler/https=b.desktop;\n"
              "[Default Applications]\nx-scheme-handler/https=a.desktop\n");
    EXPECT_EQ(platform::FindDefaultBrowserEntry(m_folders),
              m_dir.File("data/applications/a.desktop"));
    WriteFile(m_dir.File("config/xfce-mimeapps.list"),
              "[Default Applications]\nx-scheme-handler/https=b.desktop\n");
    m_folders.currentDesktops = {"xfce"};
    EXPECT_EQ(platform::FindDefaultBrowserEntry(m_folders),
              m_dir.File("data/applications/b.desktop"));
}

} // namespace

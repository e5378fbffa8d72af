// The WMV and OGM target checks: they pass with the components installed; with one hidden they
// ask, OK opens the download page and shows the notice, Cancel does neither, and either way the
// conversion does not start.
#include "media/media_components.h"
#include "media/target_checks.h"

#include "lang/resource_ids.h"
#include "lang/resource_strings.h"

#include "common/testkit.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace media;

namespace {

class ScriptedHost : public ITargetCheckHost {
public:
    explicit ScriptedHost(bool bAnswerOk) : m_bAnswerOk(bAnswerOk) {}
    bool AskOkCancel(const std::string& text) override {
        m_calls.push_back("ask:" + text);
        return m_bAnswerOk;
    }
    void RunDownloadCommand(int commandId) override {
        m_calls.push_back("download:" + std::to_string(commandId));
    }
    void ShowNotice(const std::string& text) override { m_calls.push_back("notice:" + text); }

    bool m_bAnswerOk;
    std::vector<std::string> m_calls;
};

class TargetCheckTest : public ::testing::Test {
protected:
    void TearDown() override { SetHiddenFactories({}); }
};

const std::string kWmpQuestion = "You need download and install Windows Media Player 9.0 or later "
                                 "before converting WMA and WMV format,\ndownload it now?";
const std::string kOggQuestion = "You need download and install Ogg Codec package before "
                                 "converting OGG format, \ndownload it now?";

} // namespace

TEST_F(TargetCheckTest, InstalledComponentsPassWithoutAQuestion) {
    int major = 0;
    int minor = -1;
    GetWindowsMediaVersion(major, minor);
    EXPECT_EQ(major, 9);
    EXPECT_EQ(minor, 0);
    ScriptedHost host(true);
    EXPECT_FALSE(CheckWindowsMediaTarget(host));
    EXPECT_FALSE(CheckOggTarget(host));
    for (int target = 0; target < 10; ++target) {
        EXPECT_FALSE(CheckTargetComponents(target, host)) << target;
    }
    EXPECT_TRUE(host.m_calls.empty());
}

TEST_F(TargetCheckTest, WindowsMediaNeedsBothTheRuntimeVersionAndTheWriter) {
    // The writer is there but the runtime reads as version 0: the question is still asked.
    for (const std::vector<std::string>& hidden :
         {std::vector<std::string>{"avenc_wmv2"}, std::vector<std::string>{"avenc_wmav2"},
          std::vector<std::string>{"asfmux"}}) {
        SCOPED_TRACE(hidden.front());
        SetHiddenFactories(hidden);
        ScriptedHost cancel(false);
        EXPECT_TRUE(CheckWindowsMediaTarget(cancel));
        EXPECT_EQ(cancel.m_calls, std::vector<std::string>{"ask:" + kWmpQuestion});

        ScriptedHost ok(true);
        EXPECT_TRUE(CheckTargetComponents(kTargetWmv, ok));
        EXPECT_EQ(ok.m_calls, (std::vector<std::string>{
                                  "ask:" + kWmpQuestion, "download:32778",
                                  "notice:Please restart the application after installing "
                                  "Windows Media Player."}));
        EXPECT_FALSE(CheckOggTarget(ok)) << "the Ogg check does not care";
    }
    SetHiddenFactories({"avenc_wmv2"});
    int major = -1;
    int minor = -1;
    GetWindowsMediaVersion(major, minor);
    EXPECT_EQ(major, 0);
}

TEST_F(TargetCheckTest, OggNeedsTheMuxerAndBothEncoders) {
    for (const char* missing : {"oggmux", "vorbisenc", "theoraenc"}) {
        SCOPED_TRACE(missing);
        SetHiddenFactories({missing});
        ScriptedHost cancel(false);
        EXPECT_TRUE(CheckTargetComponents(kTargetOgm, cancel));
        EXPECT_EQ(cancel.m_calls, std::vector<std::string>{"ask:" + kOggQuestion});

        ScriptedHost ok(true);
        EXPECT_TRUE(CheckOggTarget(ok));
        EXPECT_EQ(ok.m_calls,
                  (std::vector<std::string>{
                      "ask:" + kOggQuestion, "download:" + std::to_string(ids::kCmdOggCodec),
                      "notice:Please restart the application after installing Ogg Codec "
                      "package."}));
        EXPECT_FALSE(CheckWindowsMediaTarget(ok));
    }
    // Other targets are never checked, whatever is missing.
    SetHiddenFactories({"oggmux", "asfmux", "avenc_wmv2"});
    ScriptedHost host(true);
    for (int target : {0, 1, 2, 4, 6, 7}) {
        EXPECT_FALSE(CheckTargetComponents(target, host)) << target;
    }
    EXPECT_TRUE(host.m_calls.empty());
}

TEST_F(TargetCheckTest, EnvironmentHidesFactoriesToo) {
    std::optional<testkit::ScopedEnv> hide(std::in_place, "LUMICAST_MEDIA_HIDE",
                                           "theoraenc, asfdemux");
    EXPECT_FALSE(FactoryAvailable("theoraenc"));
    EXPECT_FALSE(FactoryAvailable("asfdemux"));
    EXPECT_TRUE(FactoryAvailable("oggmux"));
    EXPECT_STREQ(SourceFactoryForClassId("{6b6d0800-9ada-11d0-a520-00a0d10129c0}"), "asfdemux");
    hide.reset();
    EXPECT_TRUE(FactoryAvailable("theoraenc"));
}

// Ctrl-C and SIGTERM during a batch of lumicast-batch: Cancel All.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cli_process.h"
#include "common/fake_encoder.h"
#include "common/testkit.h"
#include "fake_encoder_setup.h"

namespace {

class CancelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_dir.Path().empty());
        // Each conversion prints 40 status lines 0.05 s apart: about two seconds.
        m_strProgram =
            clitest::SetUpFakeEncoder(m_dir.File("bin"), m_dir.File("runs.txt"), 40, 40, "0.05");
        ASSERT_FALSE(m_strProgram.empty());
        for (const char* name : {"a.avi", "b.avi", "c.avi"}) {
            std::ofstream(m_dir.File(name)) << "fake";
            m_files.push_back(m_dir.File(name));
        }
    }

    clitest::CliRun Run(const std::string& strWhen, int nSignal) {
        clitest::CliCall call;
        call.program = m_strProgram;
        // One file at a time: the test steps through the files in their order.
        call.args = {"--jobs", "1", "--output", m_dir.File("out")};
        call.args.insert(call.args.end(), m_files.begin(), m_files.end());
        call.env = {{"XDG_CONFIG_HOME", m_dir.File("config")}};
        call.signalWhen = strWhen;
        call.signalNumber = nSignal;
        return clitest::RunCli(call);
    }

    std::vector<std::string> Runs() {
        std::vector<std::string> runs;
        std::ifstream in(m_dir.File("runs.txt"));
        for (std::string line; std::getline(in, line);) {
            runs.push_back(line);
        }
        return runs;
    }

    std::string Target(const char* name) { return m_dir.File("out") + "/" + name; }

    testkit::TempDir m_dir;
    std::string m_strProgram;
    std::vector<std::string> m_files;
};

TEST_F(CancelTest, CtrlCDuringTheSecondOfThreeFiles) {
    const clitest::CliRun run = Run("File 2 of 3:", SIGINT);

    ASSERT_TRUE(run.bSignalSent) << run.out << run.err;
    EXPECT_EQ(run.exitCode, 130) << run.out << run.err;
    EXPECT_EQ(clitest::StatusLines(run.out), (std::vector<std::string>{
                                                 "Done " + Target("a-cvt.mp4"),
                                                 "Skip " + Target("b-cvt.mp4"),
                                                 "Skip " + Target("c-cvt.mp4"),
                                             }));
    // The third file never reached the encoder.
    EXPECT_EQ(Runs(), (std::vector<std::string>{Target("a-cvt.mp4"), Target("b-cvt.mp4")}));

    // The running encoder was ended and its unfinished output removed: nothing writes it again,
    // and the finished file stays.
    EXPECT_TRUE(std::filesystem::exists(Target("a-cvt.mp4")));
    EXPECT_FALSE(std::filesystem::exists(Target("b-cvt.mp4")));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_FALSE(std::filesystem::exists(Target("b-cvt.mp4")));
}

TEST_F(CancelTest, TermDuringTheFirstFileSkipsAll) {
    const clitest::CliRun run = Run("File 1 of 3:", SIGTERM);

    ASSERT_TRUE(run.bSignalSent);
    EXPECT_EQ(run.exitCode, 128 + SIGTERM) << run.out << run.err;
    EXPECT_EQ(clitest::StatusLines(run.out), (std::vector<std::string>{
                                                 "Skip " + Target("a-cvt.mp4"),
                                                 "Skip " + Target("b-cvt.mp4"),
                                                 "Skip " + Target("c-cvt.mp4"),
                                             }));
    EXPECT_EQ(Runs().size(), 1U);
}

} // namespace

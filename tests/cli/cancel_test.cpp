// Ctrl-C and SIGTERM during a batch of lumicast-batch: Cancel All.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/helpers/cli_process.h"
#include "cli/helpers/fake_encoder_setup.h"
#include "common/processes.h"
#include "common/testkit.h"

namespace {

class CancelTest : public ::testing::Test {
protected:
    // Each conversion prints two status lines; from the `holdFrom`th on it then goes on writing
    // its output until it is ended, so the signal always finds it running.
    void SetUpEncoder(int holdFrom) {
        ASSERT_FALSE(m_dir.Path().empty());
        m_strProgram = clitest::SetUpFakeEncoder(m_dir.File("bin"), Runs(), 40, 2, "0", holdFrom);
        ASSERT_FALSE(m_strProgram.empty());
        for (const char* name : {"a.avi", "b.avi", "c.avi"}) {
            std::ofstream(m_dir.File(name)) << "fake";
            m_files.push_back(m_dir.File(name));
        }
    }

    // Runs the batch and sends the signal once the `nRun`th conversion has started.
    clitest::CliRun Run(int nRun, int nSignal) {
        clitest::CliCall call;
        call.program = m_strProgram;
        // One file at a time: the test steps through the files in their order.
        call.args = {"--jobs", "1", "--output", m_dir.File("out")};
        call.args.insert(call.args.end(), m_files.begin(), m_files.end());
        call.env = {{"XDG_CONFIG_HOME", m_dir.File("config")}};
        call.signalWhenFile = Runs();
        call.signalWhenLines = nRun;
        call.signalNumber = nSignal;
        return clitest::RunCli(call);
    }

    std::string Runs() const { return m_dir.File("runs.txt"); }
    std::string Target(const char* name) { return m_dir.File("out") + "/" + name; }

    testkit::TempDir m_dir;
    std::string m_strProgram;
    std::vector<std::string> m_files;
};

TEST_F(CancelTest, CtrlCDuringTheSecondOfThreeFiles) {
    SetUpEncoder(2);
    const clitest::CliRun run = Run(2, SIGINT);

    ASSERT_TRUE(run.bSignalSent) << run.out << run.err;
    EXPECT_EQ(run.exitCode, 130) << run.out << run.err;
    EXPECT_EQ(clitest::StatusLines(run.out), (std::vector<std::string>{
                                                 "Done " + Target("a-cvt.mp4"),
                                                 "Skip " + Target("b-cvt.mp4"),
                                                 "Skip " + Target("c-cvt.mp4"),
                                             }));
    // The third file never reached the encoder.
    EXPECT_EQ(testkit::ReadLines(Runs()),
              (std::vector<std::string>{Target("a-cvt.mp4"), Target("b-cvt.mp4")}));

    // The running encoder was ended (it would have written its output for ever) and its
    // unfinished output removed; the finished file stays.
    EXPECT_TRUE(testkit::LeftProcesses(testkit::ReadPids(Runs() + ".pids")).empty());
    EXPECT_TRUE(std::filesystem::exists(Target("a-cvt.mp4")));
    EXPECT_FALSE(std::filesystem::exists(Target("b-cvt.mp4")));
}

TEST_F(CancelTest, TermDuringTheFirstFileSkipsAll) {
    SetUpEncoder(1);
    const clitest::CliRun run = Run(1, SIGTERM);

    ASSERT_TRUE(run.bSignalSent);
    EXPECT_EQ(run.exitCode, 128 + SIGTERM) << run.out << run.err;
    EXPECT_EQ(clitest::StatusLines(run.out), (std::vector<std::string>{
                                                 "Skip " + Target("a-cvt.mp4"),
                                                 "Skip " + Target("b-cvt.mp4"),
                                                 "Skip " + Target("c-cvt.mp4"),
                                             }));
    EXPECT_EQ(testkit::ReadLines(Runs()).size(), 1U);
    EXPECT_TRUE(testkit::LeftProcesses(testkit::ReadPids(Runs() + ".pids")).empty());
    EXPECT_FALSE(std::filesystem::exists(Target("a-cvt.mp4")));
}

} // namespace

// Faults injected into lumicast-batch's runs through the encoder it finds beside itself: a wrapper
// around the real Kestrelvx that misbehaves for one source (crashes, fills the disk, hangs, removes
// a folder or a source). Each fault ends with its own cause on one line of the program's output
// and of the log, the other rows keep their outcome, and no process is left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "cli/helpers/cli_process.h"
#include "common/fake_encoder.h"
#include "common/media.h"
#include "common/processes.h"
#include "common/testkit.h"

namespace fs = std::filesystem;

namespace {

// What the wrapper does, by the source's name; "" runs the real encoder.
struct EncoderScript {
    std::string probeB;   // shell lines before a probe of b.mp4
    std::string convertA; // shell lines before the conversion of a.mp4
    std::string convertB; // shell lines before the conversion of b.mp4
};

class FaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(testkit::BinDir() + "/Kestrelvx")) {
            GTEST_SKIP() << "Kestrelvx is not built";
        }
        m_strBin = m_dir.File("bin");
        m_strOut = m_dir.File("out");
        fs::create_directories(m_strBin);
        fs::create_directories(m_dir.File("src"));
        fs::create_directories(m_dir.File("config"));
        m_strProgram = m_strBin + "/lumicast-batch";
        fs::copy_file(clitest::BatchProgram(), m_strProgram);
        for (const char* name : {"a", "b", "c"}) {
            const std::string path = m_dir.File("src/") + name + ".mp4";
            ASSERT_TRUE(testkit::MakeClip(path, 2, 160, 120, true)) << path;
            m_sources.push_back(path);
        }
    }

    void TearDown() override {
        // Nothing the encoders started is left, running or unreaped.
        EXPECT_TRUE(testkit::LeftProcesses(testkit::ReadPids(Pids())).empty());
        EXPECT_TRUE(testkit::ChildProcesses(getpid()).empty());
    }

    std::string Pids() const { return m_dir.File("pids"); }
    std::string Source(int n) const { return m_sources[static_cast<std::size_t>(n)]; }
    std::string Target(const char* name) const { return m_strOut + "/" + name + "-cvt.mp4"; }
    std::string Log() const { return testkit::ReadFile(m_dir.File("lumicast.log")); }

    // The wrapper: records its process id, runs the fault's lines, then the real encoder.
    void WriteEncoder(const EncoderScript& script) {
        const std::string body =
            testkit::RecordPidBody(Pids()) + "pids=" + testkit::ShellQuote(Pids()) +
            "\n"
            "in=; out=; prev=\n"
            "for a in \"$@\"; do\n"
            "  case \"$prev\" in -i) in=$a;; -y) out=$a;; esac\n"
            "  prev=$a\n"
            "done\n"
            "if [ \"$#\" -le 3 ]; then\n"
            "  case \"$in\" in */b.mp4)\n" +
            script.probeB +
            "\n;; esac\n"
            "else\n"
            "  case \"$in\" in */a.mp4)\n" +
            script.convertA + "\n;; */b.mp4)\n" + script.convertB + "\n;; */c.mp4)\n" +
            m_strConvertC +
            "\n;; esac\n"
            "fi\n"
            "exec " +
            testkit::ShellQuote(testkit::BinDir() + "/Kestrelvx") + " \"$@\"\n";
        ASSERT_FALSE(testkit::WriteFakeEncoder(m_strBin, body).empty());
    }

    clitest::CliCall Call() const {
        clitest::CliCall call;
        call.program = m_strProgram;
        // One file at a time: each fault belongs to the file whose turn it is.
        call.args = {"--jobs", "1", "--output", m_strOut};
        call.args.insert(call.args.end(), m_sources.begin(), m_sources.end());
        call.env = {{"XDG_CONFIG_HOME", m_dir.File("config")},
                    {"HOME", m_dir.File("config")},
                    {"LUMICAST_LOG", m_dir.File("lumicast.log")},
                    // No other Kestrelvx may stand in for the one beside the program.
                    {"PATH", "/usr/bin:/bin"}};
        call.timeoutMs = 120000;
        return call;
    }

    // The run's status lines, each with the cause line that follows it, if any.
    static std::vector<std::string> Outcomes(const std::string& out) {
        std::vector<std::string> outcomes;
        std::size_t start = 0;
        while (start < out.size()) {
            const std::size_t end = out.find('\n', start);
            const std::string line =
                out.substr(start, end == std::string::npos ? std::string::npos : end - start);
            start = end == std::string::npos ? out.size() : end + 1;
            for (const char* word : {"Done ", "Skip ", "Error "}) {
                if (line.rfind(word, 0) == 0) {
                    outcomes.push_back(line);
                }
            }
            // A cause line: two blanks, then a sentence that is not the encoder's own line.
            if (line.rfind("  ", 0) == 0 && line.rfind("  Kestrelvx:", 0) != 0 &&
                !outcomes.empty()) {
                outcomes.back() += " |" + line.substr(1);
            }
        }
        return outcomes;
    }

    testkit::TempDir m_dir;
    std::string m_strBin;
    std::string m_strOut;
    std::string m_strProgram;
    std::string m_strConvertC; // shell lines before the conversion of c.mp4
    std::vector<std::string> m_sources;
};

TEST_F(FaultTest, EncoderFaultsDuringAConversionNameTheirCause) {
    const std::string out = m_strOut;
    const std::string b = Source(1);
    const std::string quotedB = testkit::ShellQuote(b);
    struct Case {
        const char* name;
        EncoderScript script;
        std::vector<std::string> outcomes; // of a, b and c
        std::string cause;                 // in the log
    };
    const std::vector<Case> cases = {
        {"crash",
         {"", "", "echo 'frame=1 time=0.50 bitrate=1'; printf x > \"$out\"; kill -SEGV $$"},
         {"Done " + Target("a"), "Error " + Target("b") + " | The encoder crashed (signal 11).",
          "Done " + Target("c")},
         "The encoder crashed (signal 11)."},
        // The encoder's file size limit is lowered to 4 KiB: ffmpeg's writes fail with EFBIG.
        {"disk full",
         {"", "", "ulimit -f 8"},
         {"Done " + Target("a"),
          "Error " + Target("b") + " | The disk is full: " + Target("b") + " could not be written.",
          "Done " + Target("c")},
         "The disk is full: " + Target("b") + " could not be written."},
        {"source deleted after it was added",
         {"", "rm -f " + quotedB, ""},
         {"Done " + Target("a"), "Error " + Target("b") + " | The source is gone: " + b,
          "Done " + Target("c")},
         "The source is gone: " + b},
        {"output folder removed while the batch runs",
         {"", "", "rm -rf \"${out%/*}\""},
         {"Done " + Target("a"), "Error " + Target("b") + " | The output folder is gone: " + out,
          "Error " + Target("c") + " | The output folder is gone: " + out},
         "The output folder is gone: " + out},
    };
    for (const Case& fault : cases) {
        SCOPED_TRACE(fault.name);
        fs::remove_all(m_strOut);
        fs::remove(m_dir.File("lumicast.log"));
        if (!fs::exists(b)) {
            ASSERT_TRUE(testkit::MakeClip(b, 2, 160, 120, true));
        }
        WriteEncoder(fault.script);

        const clitest::CliRun run = clitest::RunCli(Call());

        EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
        EXPECT_EQ(Outcomes(run.out), fault.outcomes) << run.out;
        EXPECT_NE(Log().find("\n" + fault.cause + "\n"), std::string::npos) << Log();
        // The failed file left nothing under its finished name; the others are whole (unless
        // the fault took the whole folder).
        EXPECT_FALSE(fs::exists(Target("b")));
        for (const char* name : {"a", "c"}) {
            const bool bDone = run.out.find("Done " + Target(name)) != std::string::npos;
            if (fs::exists(m_strOut)) {
                EXPECT_EQ(fs::exists(Target(name)), bDone) << name;
            }
            if (bDone && fs::exists(m_strOut)) {
                EXPECT_TRUE(testkit::ProbeStreams(Target(name)).ok) << name;
            }
        }
        EXPECT_TRUE(testkit::LeftProcesses(testkit::ReadPids(Pids())).empty());
    }
}

TEST_F(FaultTest, ReadOnlyOrFullOutputFolderFailsEveryFile) {
    // The output folder is a mount in a mount namespace of the run's own: read-only (a permission
    // bit alone does not stop a process that runs as root), or a file system of 64 KiB that the
    // first output fills (the encoder's writes fail with ENOSPC).
    struct Case {
        const char* name;
        std::string mount;
        std::vector<std::string> causes; // of a, b and c
        std::size_t nRuns;               // encoder starts: three probes, then the conversions
    };
    const std::string readOnly =
        "The output folder is not writable: " + m_strOut + " (Read-only file system)";
    const std::vector<Case> cases = {
        {"read-only",
         "mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\"",
         {readOnly, readOnly, readOnly},
         3},
        {"disk full",
         "mount -t tmpfs -o size=64k tmpfs \"$1\"",
         {"The disk is full: " + Target("a") + " could not be written.",
          "The disk is full: " + Target("b") + " could not be written.",
          "The disk is full: " + Target("c") + " could not be written."},
         6},
    };
    for (const Case& fault : cases) {
        SCOPED_TRACE(fault.name);
        fs::remove_all(m_strOut);
        fs::remove(Pids());
        fs::remove(m_dir.File("lumicast.log"));
        fs::create_directories(m_strOut);
        WriteEncoder({});
        clitest::CliCall call = Call();
        std::vector<std::string> args = {
            "-rm", "/bin/sh", "-c",        fault.mount + " || exit 99; shift; exec \"$@\"",
            "sh",  m_strOut,  call.program};
        args.insert(args.end(), call.args.begin(), call.args.end());
        call.program = "/usr/bin/unshare";
        call.args = args;

        const clitest::CliRun run = clitest::RunCli(call);
        if (run.exitCode == 99 || run.err.find("unshare:") != std::string::npos) {
            GTEST_SKIP() << "no mount namespace here: " << run.err;
        }

        EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
        EXPECT_EQ(Outcomes(run.out),
                  (std::vector<std::string>{"Error " + Target("a") + " | " + fault.causes[0],
                                            "Error " + Target("b") + " | " + fault.causes[1],
                                            "Error " + Target("c") + " | " + fault.causes[2]}))
            << run.out;
        for (const std::string& cause : fault.causes) {
            EXPECT_NE(Log().find("\n" + cause + "\n"), std::string::npos) << Log();
        }
        EXPECT_EQ(testkit::ReadPids(Pids()).size(), fault.nRuns);
        EXPECT_TRUE(testkit::LeftProcesses(testkit::ReadPids(Pids())).empty());
    }
}

TEST_F(FaultTest, MissingOrNotExecutableEncoderRefusesTheFiles) {
    const std::string missing = "The encoder could not be found: Kestrelvx is neither beside the "
                                "program (" +
                                m_strBin + ") nor in PATH.";
    const std::string notExecutable = "The encoder is not executable: " + m_strBin + "/Kestrelvx";
    for (const bool bPresent : {false, true}) {
        SCOPED_TRACE(bPresent ? "not executable" : "missing");
        if (bPresent) {
            WriteEncoder({});
            ASSERT_EQ(chmod((m_strBin + "/Kestrelvx").c_str(), 0644), 0);
        }
        const std::string cause = bPresent ? notExecutable : missing;

        const clitest::CliRun run = clitest::RunCli(Call());

        EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
        // Each file that could not be probed ends with its line and the cause.
        std::vector<std::string> expected;
        for (const std::string& source : m_sources) {
            expected.push_back("Error " + source + " | " + cause);
        }
        EXPECT_EQ(Outcomes(run.out), expected) << run.out;
        EXPECT_EQ(run.err.find("Can't playback"), std::string::npos) << run.err;
        EXPECT_NE(Log().find("\n" + cause + "\n"), std::string::npos) << Log();
    }
}

TEST_F(FaultTest, EncoderSilentDuringAProbeIsGivenUpAfterItsSilenceLimit) {
    // The limit (20 s unless LUMICAST_PROBE_SILENCE_MS says otherwise) is five seconds here: the
    // real encoder's probes of a and c, which meet it too, answer well within it on a busy machine.
    WriteEncoder({"sleep 600 & echo $! >> \"$pids\"; wait", "", ""});
    clitest::CliCall call = Call();
    call.env["LUMICAST_PROBE_SILENCE_MS"] = "5000";
    testkit::ProcessWatchdog watchdog(Pids());

    const clitest::CliRun run = clitest::RunCli(call);

    EXPECT_FALSE(watchdog.Fired()) << "the probe waited for the silent encoder's end";
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    const std::string cause = "The encoder printed nothing for 5 s and was ended: " + Source(1);
    EXPECT_EQ(Outcomes(run.out),
              (std::vector<std::string>{"Error " + Source(1) + " | " + cause, "Done " + Target("a"),
                                        "Done " + Target("c")}));
    EXPECT_NE(Log().find("\n" + cause + "\n"), std::string::npos) << Log();
}

TEST_F(FaultTest, CancelAllEndsAHungEncoderAtOnce) {
    // The second conversion prints one status line, then hangs without a word.
    WriteEncoder(
        {"", "", "echo 'frame=1 time=0.50 bitrate=1'; sleep 600 & echo $! >> \"$pids\"; wait"});
    clitest::CliCall call = Call();
    // Three probes, two conversions, and the hung one's sleep: the second encoder hangs by then.
    call.signalWhenFile = Pids();
    call.signalWhenLines = 6;
    // Were the hung encoder waited for, it is ended from outside after a generous while.
    testkit::ProcessWatchdog watchdog(Pids());

    const clitest::CliRun run = clitest::RunCli(call);

    ASSERT_TRUE(run.bSignalSent);
    EXPECT_FALSE(watchdog.Fired()) << "Cancel All waited for the hung encoder";
    EXPECT_EQ(run.exitCode, 130) << run.out << run.err;
    EXPECT_EQ(Outcomes(run.out),
              (std::vector<std::string>{"Done " + Target("a"), "Skip " + Target("b"),
                                        "Skip " + Target("c")}));
    EXPECT_FALSE(fs::exists(Target("b")));
    EXPECT_EQ(testkit::ReadPids(Pids()).size(), 6U) << "three probes, two conversions, a sleep";
}

TEST_F(FaultTest, CancelAtAnyMomentLeavesNoUnreadableFinishedFile) {
    // c hangs until it is ended, so a signal that comes after b's end still finds the batch
    // running however fast or slow the machine is. The signal comes at a different moment after
    // a's end each time; b is done or skipped, whichever it lands on.
    m_strConvertC = "sleep 600 & echo $! >> \"$pids\"; wait";
    WriteEncoder({});
    for (const int nDelayMs : {0, 150, 400, 800, 1200}) {
        SCOPED_TRACE(nDelayMs);
        fs::remove_all(m_strOut);
        clitest::CliCall call = Call();
        call.signalWhen = "File 2 of 3:";
        call.signalDelayMs = nDelayMs;

        const clitest::CliRun run = clitest::RunCli(call);

        EXPECT_EQ(run.exitCode, 130) << run.out << run.err;
        const std::vector<std::string> outcomes = Outcomes(run.out);
        ASSERT_EQ(outcomes.size(), 3U) << run.out;
        EXPECT_EQ(outcomes[0], "Done " + Target("a"));
        EXPECT_EQ(outcomes[2], "Skip " + Target("c"));
        // Every file under a finished name is whole (the batch's journal is no output).
        for (const auto& entry : fs::directory_iterator(m_strOut)) {
            if (entry.path().extension() == ".journal") {
                continue;
            }
            EXPECT_TRUE(testkit::ProbeStreams(entry.path().string()).ok) << entry.path();
        }
        EXPECT_EQ(fs::exists(Target("b")), outcomes[1] == "Done " + Target("b"));
    }
}

} // namespace

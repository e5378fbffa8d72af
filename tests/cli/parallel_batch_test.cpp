// lumicast-batch converting several files at once (--jobs), and a batch that is killed outright
// and run again with --resume. A scripted encoder records what it was asked and checks that the
// output it was given is the empty file its name was claimed with.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/helpers/cli_process.h"
#include "cli/helpers/fake_encoder_setup.h"
#include "common/fake_encoder.h"
#include "common/processes.h"
#include "common/testkit.h"

namespace fs = std::filesystem;

namespace {

// The encoder: a probe reports 4 s; a conversion writes its source's path, four parts and "end"
// into its output, with a status line per part. FAKE_TOGETHER=n makes each conversion wait until
// n have started (so they provably run at once); FAKE_HANG makes it hang after its first part and
// two status lines.
constexpr char kEncoder[] = R"SH(echo $$ >> "$FAKE_DIR/pids"
in=; out=; prev=
for a in "$@"; do
  case "$prev" in -i) in=$a;; -y) out=$a;; esac
  prev=$a
done
if [ "$#" -le 3 ]; then
  printf 'Input #0, avi, from x:\n  Duration: 00:00:04.00, start: 0.000000, bitrate: 64 kb/s\n    Stream #0.0: Video: mpeg4, yuv420p, 64x48, 25 tbr\n'
  exit 1
fi
[ -s "$out" ] && echo "$out" >> "$FAKE_DIR/overwritten"
echo "start $out" >> "$FAKE_DIR/events"
if [ -n "$FAKE_TOGETHER" ]; then
  n=0
  while [ "$(grep -c '^start' "$FAKE_DIR/events")" -lt "$FAKE_TOGETHER" ] && [ $n -lt 1200 ]; do
    sleep 0.05
    n=$((n + 1))
  done
fi
printf '%s\n' "$in" > "$out"
if [ -n "$FAKE_HANG" ]; then
  # Two status lines half a second apart (progress is read at most twice a second, from the text
  # after the last line feed), then nothing.
  printf 'frame=1 fps=25 time=1.00 bitrate=64.0\n'
  sleep 0.6
  printf 'frame=2 fps=25 time=2.00 bitrate=64.0\r'
  echo "part 1" >> "$out"
  sleep 600 &
  echo $! >> "$FAKE_DIR/pids"
  wait
fi
i=1
while [ $i -le 4 ]; do
  printf 'frame=%d fps=25 time=%d.00 bitrate=64.0\r' $i $i
  echo "part $i" >> "$out"
  sleep "${FAKE_PAUSE:-0.05}"
  i=$((i + 1))
done
echo end >> "$out"
echo "end $out" >> "$FAKE_DIR/events"
exit 0
)SH";

class ParallelBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_strProgram =
            clitest::SetUpFakeEncoder(m_dir.File("bin"), m_dir.File("unused"), 4, 1, "0");
        ASSERT_FALSE(m_strProgram.empty());
        ASSERT_FALSE(testkit::WriteFakeEncoder(m_dir.File("bin"), kEncoder).empty());
        m_strOut = m_dir.File("out");
    }

    void TearDown() override {
        // Nothing an encoder started is left, running or unreaped.
        EXPECT_TRUE(testkit::LeftProcesses(testkit::ReadPids(m_dir.File("pids"))).empty());
    }

    // A source file at a path below the test's folder.
    std::string Source(const std::string& name) {
        const std::string path = m_dir.File("src/" + name);
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << "fake";
        return path;
    }

    // lumicast-batch on the files with the options, its encoder told by `env`.
    clitest::CliCall Call(const std::vector<std::string>& options,
                          const std::vector<std::string>& files,
                          const std::map<std::string, std::string>& env = {}) const {
        clitest::CliCall call;
        call.program = m_strProgram;
        call.args = options;
        call.args.push_back("--output");
        call.args.push_back(m_strOut);
        call.args.insert(call.args.end(), files.begin(), files.end());
        call.env = {{"XDG_CONFIG_HOME", m_dir.File("config")}, {"FAKE_DIR", m_dir.Path()}};
        call.env.insert(env.begin(), env.end());
        return call;
    }

    // The outputs in the folder (the batch's journal aside), with what each holds.
    std::map<std::string, std::string> Outputs() const {
        std::map<std::string, std::string> outputs;
        if (!fs::exists(m_strOut)) {
            return outputs;
        }
        for (const auto& entry : fs::directory_iterator(m_strOut)) {
            if (entry.path().extension() != ".journal") {
                outputs[entry.path().string()] = testkit::ReadFile(entry.path().string());
            }
        }
        return outputs;
    }

    std::vector<std::string> Lines(const std::string& file) const {
        std::vector<std::string> lines;
        std::istringstream in(testkit::ReadFile(m_dir.File(file)));
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    testkit::TempDir m_dir;
    std::string m_strProgram;
    std::string m_strOut;
};

std::string Whole(const std::string& source) {
    return source + "\npart 1\npart 2\npart 3\npart 4\nend\n";
}

// Sources with the same name from several folders, and one file named twice, converted three at a
// time next to an output of another program: every source gets a name of its own, claimed before
// its encoder starts, and nothing is ever written over.
TEST_F(ParallelBatchTest, SameNamesGetDistinctOutputsAndNothingIsOverwritten) {
    const std::vector<std::string> sources = {Source("a/clip.avi"), Source("b/clip.avi"),
                                              Source("c/clip.mkv"), Source("a/clip.avi"),
                                              Source("d/clip.avi")};
    fs::create_directories(m_strOut);
    std::ofstream(m_strOut + "/clip-cvt.mp4") << "another program's file";

    const clitest::CliRun run =
        clitest::RunCli(Call({"--json", "--jobs", "3"}, sources, {{"FAKE_TOGETHER", "3"}}));

    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_FALSE(fs::exists(m_dir.File("overwritten")))
        << testkit::ReadFile(m_dir.File("overwritten"));
    EXPECT_EQ(testkit::ReadFile(m_strOut + "/clip-cvt.mp4"), "another program's file");
    // One object per source, each naming its source and an output of its own.
    std::istringstream in(run.out);
    std::multiset<std::string> reported;
    std::set<std::string> targets;
    for (std::string line; std::getline(in, line);) {
        const std::size_t source = line.find("\"source\": \"");
        const std::size_t output = line.find("\", \"output\": \"");
        ASSERT_EQ(line.rfind("{\"status\": \"Done\"", 0), 0U) << line;
        ASSERT_NE(output, std::string::npos) << line;
        reported.insert(line.substr(source + 11, output - source - 11));
        const std::size_t end = line.find('"', output + 14);
        targets.insert(line.substr(output + 14, end - output - 14));
    }
    EXPECT_EQ(reported, std::multiset<std::string>(sources.begin(), sources.end()));
    EXPECT_EQ(targets.size(), sources.size());
    const std::map<std::string, std::string> outputs = Outputs();
    EXPECT_EQ(outputs.size(), sources.size() + 1);
    std::multiset<std::string> written;
    for (const std::string& target : targets) {
        ASSERT_TRUE(outputs.count(target) != 0) << target;
        const std::string content = outputs.at(target);
        written.insert(content.substr(0, content.find('\n')));
        EXPECT_EQ(content, Whole(content.substr(0, content.find('\n'))));
    }
    EXPECT_EQ(written, reported);
}

// Ctrl-C while two encoders run: both are ended, neither leaves a part of its output, and the
// files that had not begun are skipped.
TEST_F(ParallelBatchTest, CtrlCEndsEveryRunningEncoderAndLeavesNoPart) {
    const std::vector<std::string> sources = {Source("one.avi"), Source("two.avi"),
                                              Source("three.avi"), Source("four.avi")};
    clitest::CliCall call =
        Call({"--jobs", "2"}, sources, {{"FAKE_TOGETHER", "2"}, {"FAKE_HANG", "1"}});
    // Both have started (each waits for the other) and written their first part.
    call.signalWhen = "of 4: 50%";
    call.signalNumber = SIGINT;

    const clitest::CliRun run = clitest::RunCli(call);

    ASSERT_TRUE(run.bSignalSent) << run.out << run.err;
    EXPECT_EQ(run.exitCode, 130) << run.out << run.err;
    std::vector<std::string> statuses = clitest::StatusLines(run.out);
    std::sort(statuses.begin(), statuses.end());
    EXPECT_EQ(statuses, (std::vector<std::string>{"Skip " + m_strOut + "/four-cvt.mp4",
                                                  "Skip " + m_strOut + "/one-cvt.mp4",
                                                  "Skip " + m_strOut + "/three-cvt.mp4",
                                                  "Skip " + m_strOut + "/two-cvt.mp4"}));
    EXPECT_EQ(Lines("events").size(), 2U);
    EXPECT_TRUE(testkit::LeftProcesses(testkit::ReadPids(m_dir.File("pids"))).empty());
    EXPECT_TRUE(Outputs().empty());
}

// A batch killed outright (SIGKILL) at several moments, then run again with --resume: the files an
// earlier run finished are kept and not converted again, the parts it left are removed, and in the
// end every source has exactly one whole output and the journal reads "done" for each.
TEST_F(ParallelBatchTest, KilledBatchResumesToEveryFileConvertedOnce) {
    const std::vector<std::string> sources = {Source("a.avi"), Source("b.avi"), Source("c.avi"),
                                              Source("d.avi"), Source("e.avi")};
    struct Moment {
        const char* szWhen;
        int nDelayMs;
    };
    for (const Moment& moment :
         {Moment{"File 1 of 5:", 0}, Moment{"File 2 of 5:", 150}, Moment{"File 1 of 5: 20%", 0},
          Moment{"Done ", 0}, Moment{"Done ", 300}}) {
        SCOPED_TRACE(std::string(moment.szWhen) + " +" + std::to_string(moment.nDelayMs) + " ms");
        fs::remove_all(m_strOut);
        fs::remove(m_dir.File("events"));
        clitest::CliCall call = Call({"--jobs", "2"}, sources, {{"FAKE_PAUSE", "0.2"}});
        call.signalWhen = moment.szWhen;
        call.signalDelayMs = moment.nDelayMs;
        call.signalNumber = SIGKILL;
        // Each moment comes well before the batch's end; should a very busy machine still let the
        // batch finish first, the run below must find everything done.
        const clitest::CliRun killed = clitest::RunCli(call);
        EXPECT_EQ(killed.signal, killed.bSignalSent ? SIGKILL : 0) << killed.out << killed.err;
        // The encoders end with the program that started them.
        ASSERT_TRUE(testkit::LeftProcesses(testkit::ReadPids(m_dir.File("pids")), 10000).empty());
        const std::size_t nStartedBefore = Lines("events").size();

        const clitest::CliRun resumed =
            clitest::RunCli(Call({"--json", "--resume", "--jobs", "2"}, sources));
        ASSERT_EQ(resumed.exitCode, 0) << resumed.out << resumed.err;

        EXPECT_FALSE(fs::exists(m_dir.File("overwritten")));
        // Exactly one whole output per source, under the name the first run gave it.
        const std::map<std::string, std::string> outputs = Outputs();
        std::multiset<std::string> written;
        for (const auto& [path, content] : outputs) {
            const std::string source = content.substr(0, content.find('\n'));
            EXPECT_EQ(content, Whole(source)) << path;
            EXPECT_EQ(path, m_strOut + "/" + fs::path(source).stem().string() + "-cvt.mp4");
            written.insert(source);
        }
        EXPECT_EQ(written, std::multiset<std::string>(sources.begin(), sources.end()));
        // The files the first run finished were not converted again.
        std::set<std::string> converted;
        const std::vector<std::string> events = Lines("events");
        for (std::size_t i = nStartedBefore; i < events.size(); ++i) {
            if (events[i].rfind("start ", 0) == 0) {
                EXPECT_TRUE(converted.insert(events[i].substr(6)).second) << events[i];
            }
        }
        int nResumed = 0;
        std::istringstream in(resumed.out);
        for (std::string line; std::getline(in, line);) {
            EXPECT_EQ(line.rfind("{\"status\": \"Done\"", 0), 0U) << line;
            const std::size_t output = line.find("\"output\": \"") + 11;
            const std::string target = line.substr(output, line.find('"', output) - output);
            const bool bResumed = line.find("\"resumed\": true") != std::string::npos;
            nResumed += bResumed ? 1 : 0;
            EXPECT_NE(converted.count(target) != 0, bResumed) << line;
        }
        EXPECT_EQ(nResumed + static_cast<int>(converted.size()), 5) << resumed.out;
        // The journal is whole and says every file is done.
        int nJournals = 0;
        for (const auto& entry : fs::directory_iterator(m_strOut)) {
            if (entry.path().extension() != ".journal") {
                continue;
            }
            ++nJournals;
            std::istringstream journal(testkit::ReadFile(entry.path().string()));
            std::string line;
            ASSERT_TRUE(std::getline(journal, line));
            EXPECT_EQ(line, "lumicast-batch journal 1");
            int nDone = 0;
            while (std::getline(journal, line)) {
                nDone += line.rfind("source\tdone\t", 0) == 0 ? 1 : 0;
            }
            EXPECT_EQ(nDone, 5);
        }
        EXPECT_EQ(nJournals, 1);
    }
}

} // namespace

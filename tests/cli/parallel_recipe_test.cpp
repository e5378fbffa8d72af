// The README's recipe for spreading a library over several computers with GNU Parallel, run on
// this one (the host list ":" is the local computer): every file ends converted, and the JSON
// lines that come back name each source and its output.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/helpers/cli_process.h"
#include "common/fake_encoder.h"
#include "common/media.h"
#include "common/testkit.h"

namespace fs = std::filesystem;

namespace {

TEST(ParallelRecipe, GnuParallelConvertsEveryFileAndBringsBackTheJsonLines) {
    ASSERT_TRUE(fs::exists("/usr/bin/parallel"))
        << "GNU Parallel is missing: scripts/install-deps.sh installs it";
    testkit::TempDir dir;
    fs::create_directories(dir.File("library/season 1"));
    fs::create_directories(dir.File("home"));
    std::vector<std::string> clips;
    for (const char* name :
         {"library/season 1/one.mp4", "library/season 1/two.mp4", "library/three.mp4"}) {
        clips.push_back(dir.File(name));
        ASSERT_TRUE(testkit::MakeClip(clips.back(), 1.0, 160, 120, true)) << name;
    }
    const std::string out = dir.File("converted");
    const std::string list = dir.File("files.txt");
    {
        std::string text;
        for (const std::string& clip : clips) {
            text += clip + "\n";
        }
        ASSERT_EQ(testkit::Shell("printf '%s' " + testkit::ShellQuote(text) + " > " +
                                 testkit::ShellQuote(list)),
                  0);
    }

    // As the README has it, with ":" for the list of computers.
    const std::string command =
        "cd " + testkit::ShellQuote(dir.Path()) +
        " && HOME=" + testkit::ShellQuote(dir.File("home")) +
        " XDG_CONFIG_HOME=" + testkit::ShellQuote(dir.File("config")) +
        " parallel --will-cite --sshlogin : --arg-file " + testkit::ShellQuote(list) + " " +
        testkit::ShellQuote(clitest::BatchProgram()) + " --json --jobs 1 --output " +
        testkit::ShellQuote(out) + " {} > results.jsonl";
    ASSERT_EQ(testkit::Shell(command), 0);

    std::istringstream results(testkit::ReadFile(dir.File("results.jsonl")));
    std::set<std::string> sources;
    std::set<std::string> outputs;
    for (std::string line; std::getline(results, line);) {
        ASSERT_EQ(line.rfind("{\"status\": \"Done\", \"source\": \"", 0), 0U) << line;
        const std::size_t source = line.find("\"source\": \"") + 11;
        sources.insert(line.substr(source, line.find('"', source) - source));
        const std::size_t output = line.find("\"output\": \"") + 11;
        outputs.insert(line.substr(output, line.find('"', output) - output));
    }
    EXPECT_EQ(sources, std::set<std::string>(clips.begin(), clips.end()));
    EXPECT_EQ(outputs, (std::set<std::string>{out + "/one-cvt.mp4", out + "/two-cvt.mp4",
                                              out + "/three-cvt.mp4"}));
    for (const std::string& output : outputs) {
        const testkit::MediaInfo info = testkit::ProbeStreams(output);
        EXPECT_TRUE(info.ok && info.First("video") != nullptr && info.First("audio") != nullptr)
            << output;
    }
}

} // namespace

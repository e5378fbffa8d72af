#include "cli/helpers/fake_encoder_setup.h"

#include <filesystem>

#include "cli/helpers/cli_process.h"
#include "common/fake_encoder.h"
#include "common/testkit.h"

namespace clitest {

std::string SetUpFakeEncoder(const std::string& folder, const std::string& runsFile, int seconds,
                             int steps, const std::string& pause, int holdFrom) {
    namespace fs = std::filesystem;
    const std::string copy = folder + "/lumicast-batch";
    std::error_code error;
    fs::create_directories(folder, error);
    fs::copy_file(BatchProgram(), copy, fs::copy_options::overwrite_existing, error);
    if (error) {
        return {};
    }
    fs::permissions(copy, fs::perms::owner_all, fs::perm_options::add, error);

    char duration[32];
    std::snprintf(duration, sizeof(duration), "%02d:%02d:%02d.00", seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    const std::string body =
        // A probe has only the token, "-i" and the input.
        "if [ \"$#\" -le 3 ]; then\n"
        "  printf 'Input #0, avi, from x:\\n  Duration: " +
        std::string(duration) +
        ", start: 0.000000, bitrate: 64 kb/s\\n    Stream #0.0: Video: mpeg4, yuv420p, 64x48, "
        "25 tbr\\n    Stream #0.1: Audio: mp3, 44100 Hz, stereo\\n'\n"
        "  exit 1\n"
        "fi\n"
        "for a in \"$@\"; do out=$a; done\n" +
        testkit::RecordPidBody(runsFile + ".pids") + "echo \"$out\" >> " +
        testkit::ShellQuote(runsFile) + "\nrun=$(wc -l < " + testkit::ShellQuote(runsFile) +
        ")\n"
        ": > \"$out\"\n"
        "i=0\n"
        "while [ $i -lt " +
        std::to_string(steps) +
        " ]; do\n"
        "  printf 'frame=%d fps=25 time=%d.00 bitrate=64.0\\n' $i $i\n"
        "  echo data >> \"$out\"\n"
        "  sleep " +
        pause +
        "\n"
        "  i=$((i + 1))\n"
        "done\n"
        "if [ " +
        std::to_string(holdFrom) + " -gt 0 ] && [ \"$run\" -ge " + std::to_string(holdFrom) +
        " ]; then\n"
        "  while :; do echo data >> \"$out\"; sleep 0.05; done\n"
        "fi\n"
        "exit 0\n";
    if (testkit::WriteFakeEncoder(folder, body).empty()) {
        return {};
    }
    return copy;
}

} // namespace clitest

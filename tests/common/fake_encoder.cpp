#include "common/fake_encoder.h"

#include "common/testkit.h"
#include "platform/program_folder.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testkit {

std::string WriteScript(const std::string& dir, const std::string& name,
                        const std::string& scriptBody) {
    const std::string path = dir + "/" + name;
    const std::string temporary = path + ".part";
    const std::string text = "#!/bin/sh\n" + scriptBody;
    // Close-on-exec, so that no process started meanwhile keeps the script open for writing
    // (which would make running it fail with "text file busy").
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
    if (fd < 0) {
        return {};
    }
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    if (!written || chmod(temporary.c_str(), 0755) != 0 ||
        std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return {};
    }
    return path;
}

std::string WriteFakeEncoder(const std::string& dir, const std::string& scriptBody) {
    return WriteScript(dir, "Kestrelvx", scriptBody);
}

ScopedProgramFolder::ScopedProgramFolder(const std::string& folder) {
    platform::SetProgramFolder(folder);
}

ScopedProgramFolder::~ScopedProgramFolder() {
    platform::SetProgramFolder("");
}

std::string RecordArgumentsBody(const std::string& argsFile, const std::string& rest) {
    return "for a in \"$@\"; do printf '%s\\000' \"$a\"; done > " + ShellQuote(argsFile) + "\n" +
           rest;
}

std::vector<std::string> ReadRecordedArguments(const std::string& argsFile) {
    const std::string text = ReadFile(argsFile);
    std::vector<std::string> args;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\0') {
            args.push_back(text.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    return args;
}

std::string RecordPidBody(const std::string& pidFile) {
    return "echo $$ >> " + ShellQuote(pidFile) + "\n";
}

std::string WaitForFileBody(const std::string& file) {
    return "until [ -e " + ShellQuote(file) + " ]; do sleep 0.05; done\n";
}

std::string ScriptedEncoderBody(const std::string& callLog, const std::string& release) {
    return "log=" + ShellQuote(callLog) + R"(
in=""; ss=""; t=""; out=""; prev=""
for a in "$@"; do
  case "$prev" in
    -i) in="$a";; -ss) ss="$a";; -t) t="$a";; -y) out="$a";;
  esac
  prev="$a"
done
printf '%s|%s|%s|%s\n' "$in" "$ss" "$t" "$out" >> "$log"
case "$in" in
  *fail*) echo "cannot open $in"; exit 1;;
  *slow*)
    i=0
    while :; do
      i=$((i+1))
      echo "frame=$i time=$((i/10)).$((i%10))0 bitrate=1"
      sleep 0.1
    done;;
  *size*)
    head -c 1263616 /dev/zero > "$out"
    echo "frame=1 time=1.00 bitrate=1"
)" + WaitForFileBody(release) +
           R"(    exit 0;;
  *) echo "frame=1 time=1.00 bitrate=1";;
esac
printf 'x' > "$out"
exit 0
)";
}

} // namespace testkit

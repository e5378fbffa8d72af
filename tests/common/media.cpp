#include "common/media.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testkit {
namespace {

std::string Extension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

// A value of ffprobe's flat output: "text" with \" and \\ escapes, or a bare number.
std::string FlatValue(const std::string& raw) {
    if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"') {
        return raw;
    }
    std::string value;
    for (size_t i = 1; i + 1 < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 2 < raw.size()) {
            ++i;
        }
        value += raw[i];
    }
    return value;
}

int ToInt(const std::string& text) {
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

double ToDouble(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

void TakeStreamField(StreamInfo& stream, const std::string& field, const std::string& value) {
    if (field == "codec_type") {
        stream.type = value;
    } else if (field == "codec_name") {
        stream.codec = value;
    } else if (field == "profile") {
        stream.profile = value;
    } else if (field == "width") {
        stream.width = ToInt(value);
    } else if (field == "height") {
        stream.height = ToInt(value);
    } else if (field == "r_frame_rate") {
        stream.frameRate = value;
    } else if (field == "has_b_frames") {
        stream.hasBFrames = ToInt(value);
    } else if (field == "sample_rate") {
        stream.sampleRate = ToInt(value);
    } else if (field == "channels") {
        stream.channels = ToInt(value);
    } else if (field == "duration") {
        stream.duration = ToDouble(value);
    }
}

void TakeLine(MediaInfo& info, const std::string& line) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
        return;
    }
    const std::string key = line.substr(0, equals);
    const std::string value = FlatValue(line.substr(equals + 1));
    static const std::string kStream = "streams.stream.";
    static const std::string kTags = "format.tags.";
    if (key.compare(0, kStream.size(), kStream) == 0) {
        const size_t dot = key.find('.', kStream.size());
        if (dot == std::string::npos) {
            return;
        }
        const int index = ToInt(key.substr(kStream.size(), dot - kStream.size()));
        if (index < 0 || index > 64) {
            return;
        }
        while (static_cast<int>(info.streams.size()) <= index) {
            info.streams.emplace_back();
            info.streams.back().index = static_cast<int>(info.streams.size()) - 1;
        }
        TakeStreamField(info.streams[static_cast<size_t>(index)], key.substr(dot + 1), value);
    } else if (key.compare(0, kTags.size(), kTags) == 0) {
        info.tags[key.substr(kTags.size())] = value;
    } else if (key == "format.format_name") {
        info.formatName = value;
    } else if (key == "format.duration") {
        info.duration = ToDouble(value);
    }
}

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

bool MakeClip(const std::string& path, double seconds, int width, int height, bool withAudio) {
    const std::string length = std::to_string(seconds);
    std::vector<std::string> argv = {"/usr/bin/ffmpeg", "-hide_banner", "-nostdin",
                                     "-loglevel",       "error",        "-y"};
    const bool video = width > 0 && height > 0;
    if (video) {
        argv.insert(argv.end(), {"-f", "lavfi", "-i",
                                 "testsrc2=s=" + std::to_string(width) + "x" +
                                     std::to_string(height) + ":r=25:d=" + length});
    }
    if (withAudio) {
        argv.insert(argv.end(),
                    {"-f", "lavfi", "-i", "sine=f=440:r=44100:d=" + length, "-ac", "2"});
    }
    if (!video && !withAudio) {
        return false;
    }
    if (video) {
        argv.insert(argv.end(), {"-pix_fmt", "yuv420p"});
        const std::string extension = Extension(path);
        if (extension == "mp4" || extension == "mov" || extension == "mkv") {
            argv.insert(argv.end(), {"-c:v", "libx264", "-preset", "ultrafast"});
        }
    }
    argv.insert(argv.end(), {"-t", length, path});
    const ProgramRun run = RunProgram(argv);
    return run.exitCode == 0 && access(path.c_str(), R_OK) == 0;
}

const StreamInfo* MediaInfo::First(const std::string& type) const {
    for (const StreamInfo& stream : streams) {
        if (stream.type == type) {
            return &stream;
        }
    }
    return nullptr;
}

MediaInfo ProbeStreams(const std::string& path) {
    MediaInfo info;
    const ProgramRun run = RunProgram(
        {"/usr/bin/ffprobe", "-v", "quiet", "-show_format", "-show_streams", "-of", "flat", path});
    if (run.exitCode != 0) {
        return info;
    }
    size_t start = 0;
    while (start < run.output.size()) {
        size_t end = run.output.find('\n', start);
        if (end == std::string::npos) {
            end = run.output.size();
        }
        TakeLine(info, run.output.substr(start, end - start));
        start = end + 1;
    }
    info.ok = true;
    return info;
}

ProgramRun RunProgram(const std::vector<std::string>& argv, int timeoutMs) {
    ProgramRun run;
    if (argv.empty()) {
        return run;
    }
    std::vector<std::string> words = argv;
    std::vector<char*> pointers;
    for (std::string& word : words) {
        pointers.push_back(word.data());
    }
    pointers.push_back(nullptr);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return run;
    }
    const pid_t child = fork();
    if (child == 0) {
        const int input = open("/dev/null", O_RDONLY);
        dup2(input, STDIN_FILENO);
        dup2(fds[1], STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    close(fds[1]);
    if (child < 0) {
        close(fds[0]);
        return run;
    }
    const int64_t deadline = NowMs() + timeoutMs;
    char buffer[4096];
    for (;;) {
        const int64_t left = deadline - NowMs();
        if (left <= 0) {
            kill(child, SIGKILL);
            break;
        }
        pollfd pfd{fds[0], POLLIN, 0};
        const int ready = poll(&pfd, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            continue;
        }
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            break;
        }
        run.output.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        run.signal = WTERMSIG(status);
    }
    return run;
}

} // namespace testkit

#include "kestrelvx/console.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "engine/encoder_channel.h"

namespace kestrelvx {

bool WriteAll(int fd, std::string_view text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

void PrintLine(std::string_view text) {
    std::string line = "Kestrelvx: ";
    line += SafeText(text);
    line += '\n';
    WriteAll(STDERR_FILENO, line);
}

namespace {

// The line also goes to the notes file a batch program named (see engine/encoder_channel.h), if
// any.
void PrintTagged(std::string_view tag, std::string_view text) {
    const std::string line = std::string(tag) + SafeText(text);
    PrintLine(line);
    const char* notes = std::getenv(kNotesVariable);
    if (notes == nullptr || notes[0] != '/') {
        return;
    }
    const int fd = open(notes, O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0) {
        WriteAll(fd, line + "\n");
        close(fd);
    }
}

} // namespace

void PrintError(std::string_view text) {
    PrintTagged("error: ", text);
}

void PrintNote(std::string_view text) {
    PrintTagged("note: ", text);
}

std::string SafeText(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
            c = '?';
        }
    }
    // Each marker loses one character: "Duration;", "Stream ?", "time_".
    struct Marker {
        std::string_view text;
        size_t position;
        char replacement;
    };
    static constexpr Marker kMarkers[] = {
        {"Duration:", 8, ';'}, {"Stream #", 7, '?'}, {"time=", 4, '_'}};
    for (const Marker& marker : kMarkers) {
        for (size_t at = out.find(marker.text); at != std::string::npos;
             at = out.find(marker.text, at)) {
            out[at + marker.position] = marker.replacement;
        }
    }
    return out;
}

void EnsureStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
            if (opened >= 0 && opened != fd) {
                dup2(opened, fd);
                close(opened);
            }
        }
    }
}

} // namespace kestrelvx

#include "kestrelvx/ffmpeg_locator.h"

#include <climits>
#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrelvx {
namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

std::string OwnFolder() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return {};
    }
    const std::string self(buffer, static_cast<size_t>(n));
    const size_t slash = self.find_last_of('/');
    return slash == std::string::npos ? std::string() : self.substr(0, slash);
}

std::string SearchPath() {
    const char* path = std::getenv("PATH");
    if (path != nullptr) {
        return path;
    }
    const size_t size = confstr(_CS_PATH, nullptr, 0);
    std::string standard(size, '\0');
    if (size > 0) {
        confstr(_CS_PATH, standard.data(), size);
        standard.resize(size - 1);
    }
    return standard;
}

} // namespace

bool FindFfmpeg(std::string& path, std::string& reason) {
    const std::string own = OwnFolder();
    if (!own.empty() && IsExecutableFile(own + "/ffmpeg")) {
        path = own + "/ffmpeg";
        return true;
    }
    const std::string folders = SearchPath();
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) {
            end = folders.size();
        }
        const std::string folder = folders.substr(start, end - start);
        if (!folder.empty() && folder[0] == '/' && IsExecutableFile(folder + "/ffmpeg")) {
            path = folder + "/ffmpeg";
            return true;
        }
        start = end + 1;
    }
    reason = "the ffmpeg program was found neither beside Kestrelvx nor on PATH";
    return false;
}

} // namespace kestrelvx

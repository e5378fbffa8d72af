#include "platform/user_folders.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

bool IsAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

} // namespace

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home)) {
        return WithoutTrailingSlashes(home);
    }
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384U);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && IsAbsolute(entry.pw_dir)) {
        return WithoutTrailingSlashes(entry.pw_dir);
    }
    return {};
}

std::string ConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (IsAbsolute(config)) {
        return WithoutTrailingSlashes(config);
    }
    const std::string home = HomeFolder();
    if (home.empty()) {
        return {};
    }
    return (home == "/" ? std::string() : home) + "/.config";
}

} // namespace platform

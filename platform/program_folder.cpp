#include "platform/program_folder.h"

#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::mutex& FolderMutex() {
    static auto* m = new std::mutex;
    return *m;
}

std::string& FolderOverride() {
    static auto* folder = new std::string;
    return *folder;
}

std::string ExecutableFolder() {
    const std::string exe = ExecutablePath();
    const auto slash = exe.find_last_of('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : exe.substr(0, slash);
}

bool IsRunnableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

// The search path the system uses when PATH is not set (what execvp searches then).
std::string DefaultSearchPath() {
    const std::size_t size = confstr(_CS_PATH, nullptr, 0);
    if (size == 0) {
        return "/bin:/usr/bin";
    }
    std::string path(size, '\0');
    confstr(_CS_PATH, path.data(), size);
    path.resize(size - 1);
    return path;
}

} // namespace

std::string ExecutablePath() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return {};
    }
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::string ProgramFolder() {
    {
        std::lock_guard<std::mutex> lock(FolderMutex());
        if (!FolderOverride().empty()) {
            return FolderOverride();
        }
    }
    return ExecutableFolder();
}

void SetProgramFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(FolderMutex());
    std::string value = folder;
    while (value.size() > 1 && value.back() == '/') {
        value.pop_back();
    }
    FolderOverride() = value;
}

std::string FindProgram(const std::string& name) {
    if (name.empty()) {
        return {};
    }
    if (name.find('/') != std::string::npos) {
        return IsRunnableFile(name) ? name : std::string();
    }
    const std::string own = ProgramFolder();
    if (!own.empty() && own.front() == '/') {
        const std::string candidate = JoinPath(own, name);
        if (IsRunnableFile(candidate)) {
            return candidate;
        }
    }
    return FindProgramOnPath(name);
}

std::string FindProgramOnPath(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) {
        return {};
    }
    const char* pathVar = std::getenv("PATH");
    const std::string path = pathVar != nullptr ? std::string(pathVar) : DefaultSearchPath();
    std::size_t begin = 0;
    while (begin <= path.size()) {
        auto end = path.find(':', begin);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string folder = path.substr(begin, end - begin);
        // Empty and relative entries stand for the current folder or a place below it: skipped.
        if (!folder.empty() && folder.front() == '/') {
            const std::string candidate = JoinPath(folder, name);
            if (IsRunnableFile(candidate)) {
                return candidate;
            }
        }
        begin = end + 1;
    }
    return {};
}

} // namespace platform

#include "platform/file_paths.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool FileExists(const std::string& path) {
    // The name itself counts, not what it points to: a link whose target is missing still takes
    // the name, so an output is never written through a link that someone left there.
    struct stat st {};
    return !path.empty() && lstat(path.c_str(), &st) == 0;
}

bool FolderExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string FolderOfPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

void EnsureFolder(const std::string& path) {
    if (FolderExists(path)) {
        return;
    }
    if (path.empty() || path.back() != '/') {
        return;
    }
    const std::string stripped = path.substr(0, path.size() - 1);
    const auto slash = stripped.find_last_of('/');
    if (slash == std::string::npos) {
        return; // a relative name without a parent: nothing to anchor it to
    }
    EnsureFolder(stripped.substr(0, slash + 1)); // ends at "/", which always exists
    mkdir(stripped.c_str(), 0777); // a failure shows later, when the encoder writes the output
}

std::size_t MaxFileNameBytes(const std::string& folder) {
    constexpr std::size_t kUsualLimit = 255;
    std::string probe = folder.empty() ? std::string(".") : folder;
    for (;;) {
        errno = 0;
        const long limit = pathconf(probe.c_str(), _PC_NAME_MAX);
        if (limit > 0) {
            return static_cast<std::size_t>(limit) < kUsualLimit ? static_cast<std::size_t>(limit)
                                                                 : kUsualLimit;
        }
        if (errno != ENOENT && errno != ENOTDIR) {
            return kUsualLimit;
        }
        // The folder does not exist yet: the file system of the folder it will be made in.
        while (probe.size() > 1 && probe.back() == '/') {
            probe.pop_back();
        }
        const std::string parent = FolderOfPath(probe);
        if (parent == probe) {
            return kUsualLimit;
        }
        probe = parent;
    }
}

int CreateNewFile(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        return errno;
    }
    close(fd);
    return 0;
}

#include "platform/file_paths.h"

#include <sys/stat.h>

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

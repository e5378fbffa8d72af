#include "common/testkit.h"

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace testkit {

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lumicast-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        m_strPath = pattern;
    }
}

TempDir::~TempDir() {
    if (!m_strPath.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(m_strPath, ec);
    }
}

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

} // namespace testkit

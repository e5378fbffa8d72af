#include "common/testkit.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
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

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value) : m_strName(name) {
    if (const char* old = std::getenv(name); old != nullptr) {
        m_old = old;
    }
    Set(value);
}

ScopedEnv::~ScopedEnv() {
    Set(m_old);
}

void ScopedEnv::Set(const std::optional<std::string>& value) {
    if (value) {
        setenv(m_strName.c_str(), value->c_str(), 1);
    } else {
        unsetenv(m_strName.c_str());
    }
}

bool WaitUntil(const std::function<bool()>& condition, int limitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, error);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return !out.fail();
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> ReadLines(const std::string& path) {
    return SplitLines(ReadFile(path));
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

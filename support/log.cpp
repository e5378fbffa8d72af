#include "support/log.h"

#include "platform/named_mutex.h"
#include "platform/store_file.h"
#include "platform/tick.h"

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

namespace {

// The lock and the path live until the process ends (never destroyed), so a thread that logs
// while static objects are being torn down at exit still finds them.
platform::CNamedMutex& LogLock() {
    static auto* lock = new platform::CNamedMutex("ZURURER");
    return *lock;
}

// Guards the path text itself; the file is guarded by the named lock.
std::mutex& PathMutex() {
    static auto* m = new std::mutex;
    return *m;
}

std::string& PathStorage() {
    static auto* path = [] {
        const char* env = std::getenv("LUMICAST_LOG");
        return new std::string(env != nullptr ? env : "");
    }();
    return *path;
}

// Made during static initialisation, before the application object starts.
[[maybe_unused]] const bool g_bLockReady = (LogLock(), PathStorage(), true);

// The log path that last failed and was named on standard error; guarded by the log lock.
std::string& NamedFailure() {
    static auto* path = new std::string;
    return *path;
}

std::string FaultLine(const std::string& path, int nError) {
    return "Diagnostic log " + path + " cannot be written (" + platform::ErrorText(nError) +
           "); the application goes on without it.";
}

// Called with the log lock held.
void NameFailureOnce(const std::string& path, const std::string& line) {
    if (NamedFailure() != path) {
        NamedFailure() = path;
        std::fprintf(stderr, "Lumicast: %s\n", line.c_str());
    }
}

constexpr char kMarker[] = "#FILE_LINE#";
constexpr std::size_t kMarkerLen = sizeof(kMarker) - 1;

} // namespace

void SetLogPath(const std::string& path) {
    std::lock_guard<std::mutex> guard(PathMutex());
    PathStorage() = path;
}

std::string GetLogPath() {
    std::lock_guard<std::mutex> guard(PathMutex());
    return PathStorage();
}

void WriteLogLine(const char* format, ...) {
    std::lock_guard<platform::CNamedMutex> guard(LogLock());

    char message[kLogMessageMax + 1];
    std::memset(message, 0, sizeof(message));
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);

    const bool bMarked = std::strncmp(message, kMarker, kMarkerLen) == 0;

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    const std::string path = GetLogPath();
    if (path.empty()) {
        return;
    }
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr) {
        NameFailureOnce(path, FaultLine(path, errno));
        return;
    }
    if (bMarked) {
        // The tick count is written as a signed number, as the time-stamp form always had it.
        const auto tick = static_cast<std::int32_t>(platform::TickCount());
        std::fprintf(file, "%02d:%02d:%02d (%d): %s", local.tm_hour, local.tm_min, local.tm_sec,
                     tick, message + kMarkerLen);
    } else {
        std::fprintf(file, "%s\n", message);
    }
    std::fclose(file);
}

std::string LogFaultLine() {
    std::lock_guard<platform::CNamedMutex> guard(LogLock());
    const std::string path = GetLogPath();
    if (path.empty()) {
        return {};
    }
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr) {
        const std::string line = FaultLine(path, errno);
        NameFailureOnce(path, line);
        return line;
    }
    std::fclose(file);
    return {};
}

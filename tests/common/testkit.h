#pragma once
// Shared helpers for tests: temporary folders, files, the environment, and waiting for an event.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testkit {

// How long a test waits for an event before it counts as a fault: long enough that only a fault,
// never a busy machine, makes a wait run out. A wait returns as soon as its event has come.
inline constexpr int kPatientMs = 60000;

// A fresh temporary folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_strPath; } // no trailing "/"
    std::string File(const std::string& name) const { return m_strPath + "/" + name; }

private:
    std::string m_strPath;
};

// Sets (or, with no value, removes) an environment variable for the object's lifetime, then puts
// back what was there before.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    // Sets another value, keeping what is put back at the end.
    void Set(const std::optional<std::string>& value);

private:
    std::string m_strName;
    std::optional<std::string> m_old;
};

// Checks the condition until it holds, about every 10 ms; false when it still does not after
// limitMs.
bool WaitUntil(const std::function<bool()>& condition, int limitMs = kPatientMs);

// The whole content of a file ("" when it cannot be read).
std::string ReadFile(const std::string& path);

// Writes the text as the file's whole content, making its folder first. True when written.
bool WriteFile(const std::string& path, const std::string& text);

// The lines of a text, without their line feeds.
std::vector<std::string> SplitLines(const std::string& text);

// The lines of a file (none when it cannot be read).
std::vector<std::string> ReadLines(const std::string& path);

// Runs a shell command, returns its exit status (-1 when it could not run).
int Shell(const std::string& command);

// Quotes a text for the POSIX shell.
std::string ShellQuote(const std::string& text);

// The build's bin folder (where Kestrelvx and the programs are).
std::string BinDir();

// The build folder and the source folder.
std::string BuildDir();
std::string SourceDir();

} // namespace testkit

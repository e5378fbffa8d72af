#pragma once
// Shared helpers for tests: temporary folders and generated media.
#include <string>

namespace testkit {

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

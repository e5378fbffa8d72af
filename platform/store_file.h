#pragma once
// File operations for small files that must never be seen half written: an exclusive lock held
// across processes for a read-modify-write, and replacing a file's whole contents in one step.
#include <string>

namespace platform {

// Holds flock(LOCK_EX) on a lock file from construction to destruction. The lock file is created
// (mode 0600) when missing; a link in its place is not followed. Two holders never overlap,
// whether they are threads of one process or separate processes; a holder that dies releases it.
class CStoreFileLock {
public:
    // bWait false: takes the lock only when nobody holds it, without waiting (IsHeld tells).
    explicit CStoreFileLock(const std::string& lockPath, bool bWait = true);
    ~CStoreFileLock();
    CStoreFileLock(const CStoreFileLock&) = delete;
    CStoreFileLock& operator=(const CStoreFileLock&) = delete;

    // False when the lock file could not be opened or locked.
    bool IsHeld() const { return m_nFd >= 0; }

private:
    int m_nFd = -1;
};

// Replaces the file at path with contents: writes a temporary file in the same folder, flushes it
// to disk, renames it over path and flushes the folder. Readers see either the old file or the new
// one, never a part. New files get mode 0600. Returns false (leaving path as it was) on failure.
bool ReplaceFileContents(const std::string& path, const std::string& contents);

// Why a file cannot be read: 0 when it opens for reading, else the system's error number (ENOENT
// for a missing file, EISDIR for a folder in its place).
int FileReadError(const std::string& path);

// Why ReplaceFileContents could not replace a file in this folder: 0 when the folder exists and a
// new file can be made and renamed in it, else the system's error number. A read-only mount counts
// as EROFS, a folder without write permission as EACCES.
int FolderWriteError(const std::string& folder);

// The system's text for an error number ("Permission denied").
std::string ErrorText(int nError);

} // namespace platform

#pragma once
#include <cstddef>
#include <string>

// True when the file system reports attributes for the path (a file, a folder or any other entry;
// a symbolic link counts by itself, whether or not its target exists).
bool FileExists(const std::string& path);

// True when the path exists and is a folder (a link to a folder counts).
bool FolderExists(const std::string& path);

// The folder part of a path, without the trailing "/" ("/" for a file at the root, "." for a bare
// name).
std::string FolderOfPath(const std::string& path);

// Makes sure a folder exists, creating missing parents. Only paths written with a trailing "/" are
// created, and the recursion stops at a name without a "/" (a relative name) or at the root.
// Failures are ignored (the caller finds out when it writes into the folder).
void EnsureFolder(const std::string& path);

// The longest file name, in bytes, that the file system holding the folder takes (the limit of the
// nearest existing folder on the way up); 255, the usual limit, when none tells. Never above 255.
std::size_t MaxFileNameBytes(const std::string& folder);

// Creates an empty file at path, failing when anything (a file, a folder, a link) already has that
// name: the one way to claim a name that another thread or program may want at the same moment.
// Returns 0 when the file was made, otherwise the system's error number (EEXIST when the name is
// taken).
int CreateNewFile(const std::string& path);

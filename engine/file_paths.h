#pragma once
#include <string>

// True when the file system reports attributes for the path (a file or a folder).
bool FileExists(const std::string& path);

// True when the path exists and is a folder.
bool FolderExists(const std::string& path);

// Makes sure a folder exists, creating missing parents. Only paths written with a trailing "/" are
// created; failures are ignored (the caller finds out when it writes into the folder).
void EnsureFolder(const std::string& path);

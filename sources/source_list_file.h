#pragma once
// The window's source list kept in a file while the program runs: every record of the list, in
// list order, with all it holds (what the probe found, the part to convert, the output name, the
// status), so that the list can be put back as it was after the program did not end normally.
#include <memory>
#include <string>
#include <vector>

class FileMediaFormat;

// The records as the file's text.
std::string SourceListText(const std::vector<const FileMediaFormat*>& records);

// The records a file's text holds, in order. False (and nothing) when the text is not such a list
// or a record of it is damaged.
bool ReadSourceListText(const std::string& text,
                        std::vector<std::unique_ptr<FileMediaFormat>>& records);

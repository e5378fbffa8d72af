#pragma once
// Records kept in small text files (a batch's journal, the window's list): one record a line, its
// fields separated by tabs. A field may hold any byte: a backslash, a tab, a line feed and a
// carriage return are written as \\, \t, \n and \r.
#include <string>
#include <vector>

// The fields as one line, without its line feed.
std::string JoinFields(const std::vector<std::string>& fields);

// The fields of a line (without its line feed). An escape that is not one of the four above keeps
// the character after the backslash.
std::vector<std::string> SplitFields(const std::string& line);

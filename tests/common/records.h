#pragma once
// Source records for tests, as the loading pass makes them.
#include <memory>
#include <string>

#include "sources/source_record.h"

namespace testkit {

// A record for a source that need not exist: its path, title and extension from the path, a
// duration of `end` seconds and the part from `start` to `end` chosen.
std::unique_ptr<FileMediaFormat> MakeRecord(const std::string& path, int start, int end);

} // namespace testkit

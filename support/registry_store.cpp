#include "support/registry_store.h"

#include "platform/store_file.h"
#include "platform/user_folders.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The file's bytes, at most kRegistryStoreMaxBytes + 1 of them (one more tells that it is longer).
StoreRead ReadStoreBytes(const std::string& file, std::string& bytes) {
    bytes.clear();
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found) {
        return StoreRead::Missing;
    }
    if (ec || status.type() != fs::file_type::regular) {
        return StoreRead::Unreadable;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return StoreRead::Unreadable;
    }
    // Read in pieces: a settings file is a few hundred bytes, and it is read every time a setting
    // is needed, so the limit must not cost a buffer of its size on every read.
    constexpr std::size_t kPiece = 64U * 1024U;
    while (bytes.size() <= kRegistryStoreMaxBytes) {
        const std::size_t nOld = bytes.size();
        const std::size_t nWant = std::min(kPiece, kRegistryStoreMaxBytes + 1 - nOld);
        bytes.resize(nOld + nWant);
        in.read(bytes.data() + nOld, static_cast<std::streamsize>(nWant));
        if (in.bad()) {
            bytes.clear();
            return StoreRead::Unreadable;
        }
        bytes.resize(nOld + static_cast<std::size_t>(in.gcount()));
        if (in.eof()) {
            break;
        }
    }
    return StoreRead::Read;
}

StoreRead ReadAndParse(const std::string& file, RegDocument& doc) {
    std::string bytes;
    const StoreRead result = ReadStoreBytes(file, bytes);
    doc = RegDocument{};
    if (result != StoreRead::Read) {
        return result;
    }
    const bool bTooLong = bytes.size() > kRegistryStoreMaxBytes;
    if (bTooLong) {
        bytes.resize(kRegistryStoreMaxBytes);
    }
    doc = ParseRegText(bytes);
    if (bTooLong) {
        ++doc.nDamagedLines;
    }
    return StoreRead::Read;
}

std::string UtcStamp() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    char text[32];
    std::snprintf(text, sizeof(text), "%04d%02u%02uT%02d%02d%02dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

// Keeps the damaged file under a new name: a hard link costs nothing and leaves the store in
// place for readers; where links are not possible the bytes are copied.
bool PreserveDamaged(const std::string& file) {
    const std::string base = file + ".damaged-" + UtcStamp();
    for (int n = 1; n <= 100; ++n) {
        const std::string aside = n == 1 ? base : base + "-" + std::to_string(n);
        std::error_code ec;
        if (fs::exists(fs::symlink_status(aside, ec))) {
            continue;
        }
        fs::create_hard_link(file, aside, ec);
        if (!ec) {
            return true;
        }
        if (fs::copy_file(file, aside, fs::copy_options::none, ec) && !ec) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string RegistryStoreFolder() {
    const std::string config = platform::ConfigFolder();
    if (config.empty()) {
        return {};
    }
    return config + "/Velmora/Lumicast";
}

std::string RegistryStoreFile(const std::string& folder) {
    return folder + "/settings.reg";
}

StoreRead ReadRegistryStore(const std::string& file, RegDocument& doc) {
    return ReadAndParse(file, doc);
}

StoreWrite UpdateRegistryStore(const std::string& file,
                               const std::function<void(RegDocument&)>& change) {
    const platform::CStoreFileLock lock(file + ".lock");
    if (!lock.IsHeld()) {
        return StoreWrite::CannotLock;
    }
    // A store kept as a link to a file elsewhere (a managed set of dot files) stays a link: the
    // file it points to is the one replaced.
    std::string target = file;
    std::error_code ec;
    if (fs::is_symlink(file, ec)) {
        const fs::path resolved = fs::canonical(file, ec);
        if (!ec) {
            target = resolved.string();
        }
    }
    // Read again under the lock: another process may have written since this one last looked.
    RegDocument doc;
    const StoreRead read = ReadAndParse(target, doc);
    if (read == StoreRead::Unreadable) {
        return StoreWrite::Unreadable;
    }
    if (read == StoreRead::Read && doc.IsDamaged() && !PreserveDamaged(target)) {
        return StoreWrite::CannotPreserve;
    }
    change(doc);
    doc.nDamagedLines = 0;
    return platform::ReplaceFileContents(target, FormatRegText(doc)) ? StoreWrite::Written
                                                                     : StoreWrite::CannotWrite;
}

StoreCheck CheckRegistryStore(const std::string& file) {
    StoreCheck check;
    RegDocument doc;
    const StoreRead read = ReadAndParse(file, doc);
    if (read == StoreRead::Unreadable) {
        check.fault = StoreFault::Unreadable;
        check.nError = platform::FileReadError(file);
        return check;
    }
    if (read == StoreRead::Read && doc.IsDamaged()) {
        check.fault = StoreFault::Damaged;
        return check;
    }
    // The folder may not exist yet: the first write makes it, so the nearest existing folder above
    // it must take new entries.
    fs::path folder = fs::path(file).parent_path();
    std::error_code ec;
    while (!folder.empty() && !fs::exists(folder, ec) && folder != folder.root_path()) {
        folder = folder.parent_path();
    }
    const int nError = platform::FolderWriteError(folder.empty() ? "." : folder.string());
    if (nError != 0) {
        check.fault = StoreFault::NotWritable;
        check.nError = nError;
    }
    return check;
}

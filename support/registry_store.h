#pragma once
// The file that holds the registry values of this user: <configuration folder>/Velmora/Lumicast/
// settings.reg, in the registry export syntax (support/reg_text.h). Every root key lives in it as
// sections named after the root.
//
// Reading needs no lock: the file is only ever replaced whole. Changing it is a read-modify-write
// under an exclusive lock on "settings.reg.lock" beside it, re-reading the file under the lock, so
// two processes that write at once both keep their value. A file with damaged lines is linked (or
// copied) aside as "settings.reg.damaged-<UTC time>" before it is first rewritten.
#include "support/reg_text.h"

#include <cstdint>
#include <functional>
#include <string>

// The store's folder without a trailing "/", from $XDG_CONFIG_HOME (else ~/.config); empty when
// the user has no configuration folder.
std::string RegistryStoreFolder();

// The store file inside a store folder.
std::string RegistryStoreFile(const std::string& folder);

enum class StoreRead { Read, Missing, Unreadable };

// Reads and parses the store file. Missing: the file does not exist (doc is empty). Unreadable:
// it exists but cannot be read (not a regular file, no permission, read error). A file larger
// than kRegistryStoreMaxBytes is read up to that size and counts as damaged.
StoreRead ReadRegistryStore(const std::string& file, RegDocument& doc);

inline constexpr std::size_t kRegistryStoreMaxBytes = 16U * 1024U * 1024U;

enum class StoreWrite { Written, Unreadable, CannotPreserve, CannotLock, CannotWrite };

// Applies change to the current contents under the store lock and replaces the file.
// A file that exists but cannot be read is never replaced (Unreadable), nor a damaged one whose
// copy could not be made (CannotPreserve).
StoreWrite UpdateRegistryStore(const std::string& file,
                               const std::function<void(RegDocument&)>& change);

// What stands in the way of using the store, worst first. Unreadable: the file exists but cannot
// be read (the defaults are used and it is never replaced). Damaged: some lines could not be
// understood (the rest is used; a copy is kept before the first rewrite). NotWritable: neither a
// new file nor a change can be written in the store's folder. nError is the system's error number
// for Unreadable and NotWritable.
enum class StoreFault { None, Unreadable, Damaged, NotWritable };
struct StoreCheck {
    StoreFault fault = StoreFault::None;
    int nError = 0;
};
StoreCheck CheckRegistryStore(const std::string& file);

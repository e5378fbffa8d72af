#pragma once
// The shipped translations as the tests read them, and an entry of a catalog by its key.
#include <string>

#include "lang/tools/po_file.h"

// The catalog of lang/po/<name> (a failed read or parse fails the test).
lang::PoCatalog LoadCatalog(const std::string& name);

// The entry with this key (msgctxt); a missing one fails the test.
lang::PoEntry& Entry(lang::PoCatalog& po, const std::string& key);

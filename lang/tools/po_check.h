#pragma once
// What is wrong with a translation of the English set.
#include <string>
#include <vector>

#include "lang/resource_set.h"
#include "lang/tools/po_file.h"

namespace lang {

// One message per fault (none: good): a header without the language identifier or name; a text
// of the English set without an entry, with a msgid other than the English text, or without a
// translation (empty or fuzzy); an entry the English set no longer has, or a key given twice; a
// string whose printf conversions differ from the English text's; a changed number of line feeds
// where lines are fields (a command's "prompt\ntool tip" and the document string); a changed
// number of "&" mnemonics; a menu item whose shortcut after "\t" differs.
std::vector<std::string> CheckPo(const PoCatalog& po, const ResourceSet& english);

} // namespace lang

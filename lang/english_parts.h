#pragma once
// The pieces of the built-in English resource set, one file per kind.
#include "lang/resource_set.h"

namespace lang {

void AddEnglishStrings(ResourceSet& set);
void AddEnglishMenu(ResourceSet& set);
void AddEnglishDialogs(ResourceSet& set);
void AddEnglishToolbar(ResourceSet& set);

} // namespace lang

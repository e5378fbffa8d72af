// The resource string loader and the current resource set.
#include "lang/resource_strings.h"

#include <atomic>

#include "support/log.h"

namespace {
std::atomic<const lang::ResourceSet*> g_pCurrent{nullptr};
} // namespace

const lang::ResourceSet& CurrentResources() {
    const lang::ResourceSet* pSet = g_pCurrent.load(std::memory_order_acquire);
    return pSet != nullptr ? *pSet : BuiltinEnglish();
}

void SetCurrentResources(const lang::ResourceSet* set) {
    g_pCurrent.store(set, std::memory_order_release);
}

const std::string* FindResString(int id) {
    const lang::ResourceSet& set = CurrentResources();
    auto it = set.strings.find(id);
    return it != set.strings.end() ? &it->second : nullptr;
}

std::string LoadResStringV(int id, const std::vector<lang::FormatArg>& args) {
    const std::string* pText = FindResString(id);
    if (pText == nullptr) {
        WriteLogLine("**Error Loading Resource String:id=%d", id);
        return lang::FormatText("", args);
    }
    return lang::FormatText(*pText, args);
}

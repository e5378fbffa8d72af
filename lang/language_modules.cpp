#include "lang/language_modules.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <mutex>
#include <utility>

#include "lang/resource_strings.h"
#include "platform/program_folder.h"
#include "platform/shared_library.h"
#include "support/log.h"

namespace lang {
namespace {

constexpr char kModulePrefix[] = "LanRes";
constexpr char kModuleSuffix[] = "Dll.so";

// A table larger than this is taken for garbage rather than read.
constexpr std::uint32_t kMaxTableCount = 100000;

struct SelectionState {
    std::mutex mutex;
    std::string strFolder; // empty: the program folder
    platform::CSharedLibrary library;
    std::uint16_t nCurrent = 0;
    // The set in use and the one before it: a text read just before a switch stays valid.
    std::unique_ptr<ResourceSet> pCurrentSet;
    std::unique_ptr<ResourceSet> pPreviousSet;
};

SelectionState& State() {
    static SelectionState state;
    return state;
}

// The exports of a loaded module, all present and of this version, or none.
struct ModuleExports {
    LumicastGetLanguageFn pGetLanguage = nullptr;
    LumicastGetLanguageNameFn pGetLanguageName = nullptr;
    LumicastGetResourceSetFn pGetResourceSet = nullptr;
};

bool ReadExports(const platform::CSharedLibrary& library, ModuleExports& exports) {
    exports.pGetLanguage = library.Function<LumicastGetLanguageFn>("GetLanguage");
    exports.pGetLanguageName = library.Function<LumicastGetLanguageNameFn>("GetLanguageName");
    exports.pGetResourceSet = library.Function<LumicastGetResourceSetFn>("GetResourceSet");
    auto pGetVersion = library.Function<LumicastGetResourceSetVersionFn>("GetResourceSetVersion");
    if (exports.pGetLanguage == nullptr || exports.pGetLanguageName == nullptr ||
        exports.pGetResourceSet == nullptr || pGetVersion == nullptr) {
        return false;
    }
    return pGetVersion() == LUMICAST_RESOURCE_SET_VERSION;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

// The module files of the folder, in the order the file system lists them; directories skipped.
std::vector<std::string> ModuleFiles() {
    std::vector<std::string> files;
    const std::string folder = LanguageModuleFolder();
    if (folder.empty()) {
        return files;
    }
    DIR* pDir = ::opendir(folder.c_str());
    if (pDir == nullptr) {
        return files;
    }
    while (const dirent* pEntry = ::readdir(pDir)) {
        const std::string name = pEntry->d_name;
        if (!IsLanguageModuleName(name)) {
            continue;
        }
        const std::string path = JoinPath(folder, name);
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
            continue;
        }
        files.push_back(path);
    }
    ::closedir(pDir);
    return files;
}

std::string Text(const char* szText) {
    return szText != nullptr ? std::string(szText) : std::string();
}

bool TableOk(const void* pTable, std::uint32_t nCount) {
    return nCount <= kMaxTableCount && (nCount == 0 || pTable != nullptr);
}

// Builds the items of one pop-up level from the flat, depth-first list.
bool ReadMenuLevel(const LumicastMenu& menu, std::uint32_t& nIndex, std::int32_t nDepth,
                   std::vector<MenuItem>& items) {
    while (nIndex < menu.nItemCount) {
        const LumicastMenuItem& in = menu.pItems[nIndex];
        if (in.nDepth < nDepth) {
            return true;
        }
        if (in.nDepth > nDepth) {
            return false; // deeper than a pop-up opens
        }
        ++nIndex;
        MenuItem item;
        item.nCommand = in.nCommand;
        item.strText = Text(in.szText);
        item.bSeparator = (in.nFlags & LUMICAST_MENU_SEPARATOR) != 0;
        item.bChecked = (in.nFlags & LUMICAST_MENU_CHECKED) != 0;
        if ((in.nFlags & LUMICAST_MENU_POPUP) != 0 &&
            !ReadMenuLevel(menu, nIndex, nDepth + 1, item.children)) {
            return false;
        }
        items.push_back(std::move(item));
    }
    return true;
}

// Loads the module at path into the state. Called with the state's lock held.
bool LoadModule(SelectionState& state, const std::string& path) {
    platform::CSharedLibrary library;
    if (!library.Open(path)) {
        WriteLogLine("Language module %s cannot be loaded: %s", path.c_str(),
                     library.LastError().c_str());
        return false;
    }
    ModuleExports exports;
    if (!ReadExports(library, exports)) {
        WriteLogLine("Language module %s lacks an export or is of another version", path.c_str());
        return false;
    }
    const LumicastResourceSet* pTables = exports.pGetResourceSet();
    auto pSet = std::make_unique<ResourceSet>();
    if (pTables == nullptr || !ConvertResourceSet(*pTables, *pSet)) {
        WriteLogLine("Language module %s holds a malformed resource set", path.c_str());
        return false;
    }
    pSet->nLanguage = static_cast<std::uint16_t>(exports.pGetLanguage() & 0xFFFFU);
    pSet->strLanguageName = Text(exports.pGetLanguageName());
    state.library = std::move(library);
    state.pPreviousSet = std::move(state.pCurrentSet);
    state.pCurrentSet = std::move(pSet);
    SetCurrentResources(state.pCurrentSet.get());
    return true;
}

// Back to the built-in English set; the module is released. Called with the state's lock held.
void ReleaseModule(SelectionState& state) {
    SetCurrentResources(nullptr);
    state.library.Close();
    if (state.pCurrentSet != nullptr) {
        state.pPreviousSet = std::move(state.pCurrentSet);
    }
}

} // namespace

std::string LanguageModuleFolder() {
    SelectionState& state = State();
    {
        std::lock_guard lock(state.mutex);
        if (!state.strFolder.empty()) {
            return state.strFolder;
        }
    }
    return platform::ProgramFolder();
}

void SetLanguageModuleFolder(const std::string& folder) {
    SelectionState& state = State();
    std::lock_guard lock(state.mutex);
    state.strFolder = folder;
}

bool IsLanguageModuleName(const std::string& fileName) {
    const std::string prefix = kModulePrefix;
    const std::string suffix = kModuleSuffix;
    return fileName.size() >= prefix.size() + suffix.size() &&
           fileName.compare(0, prefix.size(), prefix) == 0 &&
           fileName.compare(fileName.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool QueryLanguageModule(const std::string& path, LanguageModule& module) {
    platform::CSharedLibrary library;
    if (!library.Open(path)) {
        return false;
    }
    ModuleExports exports;
    if (!ReadExports(library, exports)) {
        return false;
    }
    module.nLanguage = static_cast<std::uint16_t>(exports.pGetLanguage() & 0xFFFFU);
    module.strName = Text(exports.pGetLanguageName()); // copied before the module goes
    module.strPath = path;
    return true;
}

std::string FindLanguageModule(std::uint32_t nLanguage) {
    const auto nWanted = static_cast<std::uint16_t>(nLanguage & 0xFFFFU);
    for (const std::string& path : ModuleFiles()) {
        LanguageModule module;
        if (QueryLanguageModule(path, module) && module.nLanguage == nWanted) {
            return path;
        }
    }
    return {};
}

std::vector<LanguageModule> ListLanguageModules() {
    std::vector<LanguageModule> modules;
    for (const std::string& path : ModuleFiles()) {
        LanguageModule module;
        if (!QueryLanguageModule(path, module)) {
            continue;
        }
        // Before the first name that compares greater: equal names keep the order found.
        auto it = modules.begin();
        while (it != modules.end() && it->strName.compare(module.strName) <= 0) {
            ++it;
        }
        modules.insert(it, std::move(module));
    }
    return modules;
}

std::vector<LanguageModule> LanguageMenuEntries() {
    std::vector<LanguageModule> entries = ListLanguageModules();
    entries.insert(entries.begin(), LanguageModule{kEnglishLanguageId, kEnglishLanguageName, {}});
    return entries;
}

bool SelectLanguage(std::uint32_t nLanguage) {
    const auto nWanted = static_cast<std::uint16_t>(nLanguage & 0xFFFFU);
    SelectionState& state = State();
    if (nWanted == kEnglishLanguageId) {
        std::lock_guard lock(state.mutex);
        ReleaseModule(state);
        state.nCurrent = kEnglishLanguageId;
        return true;
    }
    {
        std::lock_guard lock(state.mutex);
        if (nWanted == state.nCurrent) {
            return false;
        }
    }
    const std::string path = FindLanguageModule(nWanted);
    if (path.empty()) {
        return false;
    }
    std::lock_guard lock(state.mutex);
    ReleaseModule(state);
    if (!LoadModule(state, path)) {
        return false;
    }
    state.nCurrent = nWanted;
    return true;
}

std::uint16_t CurrentLanguageId() {
    SelectionState& state = State();
    std::lock_guard lock(state.mutex);
    return state.nCurrent;
}

void ResetLanguageSelection() {
    SelectionState& state = State();
    std::lock_guard lock(state.mutex);
    ReleaseModule(state);
    state.nCurrent = 0;
}

bool ConvertResourceSet(const LumicastResourceSet& tables, ResourceSet& set) {
    if (tables.nVersion != LUMICAST_RESOURCE_SET_VERSION ||
        tables.nStructSize != sizeof(LumicastResourceSet) ||
        !TableOk(tables.pStrings, tables.nStringCount) ||
        !TableOk(tables.pMenus, tables.nMenuCount) ||
        !TableOk(tables.pDialogs, tables.nDialogCount) ||
        !TableOk(tables.pToolbar, tables.nToolbarCount)) {
        return false;
    }
    set = ResourceSet{};
    set.nLanguage = static_cast<std::uint16_t>(tables.nLanguage & 0xFFFFU);
    set.strLanguageName = Text(tables.szLanguageName);
    for (std::uint32_t i = 0; i < tables.nStringCount; ++i) {
        const LumicastString& in = tables.pStrings[i];
        if (in.szText != nullptr) {
            set.strings[in.nId] = in.szText;
        }
    }
    for (std::uint32_t i = 0; i < tables.nMenuCount; ++i) {
        const LumicastMenu& in = tables.pMenus[i];
        if (!TableOk(in.pItems, in.nItemCount)) {
            return false;
        }
        Menu menu;
        menu.nId = in.nId;
        std::uint32_t nIndex = 0;
        if (!ReadMenuLevel(in, nIndex, 0, menu.items) || nIndex != in.nItemCount) {
            return false;
        }
        set.menus[menu.nId] = std::move(menu);
    }
    for (std::uint32_t i = 0; i < tables.nDialogCount; ++i) {
        const LumicastDialog& in = tables.pDialogs[i];
        if (!TableOk(in.pControls, in.nControlCount)) {
            return false;
        }
        DialogTemplate dialog;
        dialog.nId = in.nId;
        dialog.strCaption = Text(in.szCaption);
        dialog.strFont = Text(in.szFont);
        dialog.nPointSize = in.nPointSize;
        dialog.cx = in.cx;
        dialog.cy = in.cy;
        for (std::uint32_t c = 0; c < in.nControlCount; ++c) {
            const LumicastControl& ctl = in.pControls[c];
            if (ctl.nKind < 0 || ctl.nKind > static_cast<std::int32_t>(ControlKind::Custom)) {
                return false;
            }
            DialogControl control;
            control.nId = ctl.nId;
            control.kind = static_cast<ControlKind>(ctl.nKind);
            control.strText = Text(ctl.szText);
            control.x = ctl.x;
            control.y = ctl.y;
            control.cx = ctl.cx;
            control.cy = ctl.cy;
            control.style = ctl.nStyle;
            control.nMaxLength = ctl.nMaxLength;
            dialog.controls.push_back(std::move(control));
        }
        set.dialogs[dialog.nId] = std::move(dialog);
    }
    for (std::uint32_t i = 0; i < tables.nToolbarCount; ++i) {
        set.toolbar.push_back({tables.pToolbar[i].nCommand, tables.pToolbar[i].nCaptionId});
    }
    return true;
}

} // namespace lang

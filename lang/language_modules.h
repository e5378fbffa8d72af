#pragma once
// Language resource modules: shared libraries LanRes<Name>Dll.so beside the executable, each
// carrying a complete resource set in one language (see lang/module_abi.h). Finding and listing
// them, and selecting the interface language, which switches the current resource set that every
// string, menu and dialog is loaded from.
#include <cstdint>
#include <string>
#include <vector>

#include "lang/module_abi.h"
#include "lang/resource_set.h"

namespace lang {

// The built-in English interface: identifier 1033, menu text "&English", no module.
inline constexpr std::uint16_t kEnglishLanguageId = 0x0409;
inline constexpr char kEnglishLanguageName[] = "&English";

// One entry of the Language menu.
struct LanguageModule {
    std::uint16_t nLanguage = 0;
    std::string strName; // menu text, verbatim (may hold an "&" mnemonic)
    std::string strPath; // the module's path; empty for the built-in English entry
};

// The folder modules are looked for in: the folder of the running program (the encoder's folder,
// platform::ProgramFolder) unless SetLanguageModuleFolder named another one. Empty names no
// folder, and then no module is found.
std::string LanguageModuleFolder();
// Names another folder for the whole process (tests); an empty text goes back to the default.
void SetLanguageModuleFolder(const std::string& folder);

// True when a file name matches "LanRes*Dll.so".
bool IsLanguageModuleName(const std::string& fileName);

// Queries one module file: loads it, reads its identifier (low 16 bits) and name, releases it. It
// succeeds only when the file is a loadable library exporting all four functions of
// lang/module_abi.h and its resource set version is the application's; anything else is ignored.
bool QueryLanguageModule(const std::string& path, LanguageModule& module);

// The path of the first module of the folder, in the order the file system lists it, whose
// identifier equals the low 16 bits of nLanguage; empty when there is none.
std::string FindLanguageModule(std::uint32_t nLanguage);

// Every valid module of the folder, in ascending byte-wise order of the names; modules with equal
// names keep the order the file system lists them in. The built-in English entry is not included.
std::vector<LanguageModule> ListLanguageModules();

// The entries of the Language menu: the built-in English entry first, then ListLanguageModules().
// Entry i belongs to command 32750 + i.
std::vector<LanguageModule> LanguageMenuEntries();

// Makes a language current. 1033 always means the built-in English set (any module is released,
// even one claiming 1033 is never loaded) and always succeeds. Otherwise: the current language
// again fails and changes nothing; no module for it fails and changes nothing; else the loaded
// module is released and the found one loaded and made current. When that load fails the
// interface is left on the built-in English set, the current identifier stays as it was, and the
// result is false. Only the main thread switches, while no worker reads resources.
bool SelectLanguage(std::uint32_t nLanguage);

// The current language identifier: 0 until a language has been selected in this run.
std::uint16_t CurrentLanguageId();

// Back to the state at process start (built-in English, identifier 0, no module); for tests.
void ResetLanguageSelection();

// Copies a module's tables into a resource set. False when the tables are malformed (a null
// table with a count, a menu whose depths do not nest, an unknown control kind).
bool ConvertResourceSet(const LumicastResourceSet& tables, ResourceSet& set);

} // namespace lang

#include "profiles/settings.h"

#include "platform/file_paths.h"
#include "platform/user_folders.h"
#include "support/registry_key.h"

namespace {

bool EqualsNoCase(const std::string& text, const char* expected) {
    std::size_t i = 0;
    for (; expected[i] != '\0'; ++i) {
        if (i >= text.size()) {
            return false;
        }
        char c = text[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c != expected[i]) {
            return false;
        }
    }
    return i == text.size();
}

std::string WithTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

} // namespace

bool ReadHiddenToolTips() {
    std::string text;
    RegistryKey key;
    key.Open(RegistryRoot::LocalMachine, kApplicationKeyPath, kRegAccessReadWrite);
    key.QueryString(kHiddenToolTipsValue, text);
    return EqualsNoCase(text, "TRUE");
}

void WriteHiddenToolTips() {
    RegistryKey key;
    key.Open(RegistryRoot::LocalMachine, kApplicationKeyPath, kRegAccessReadWrite);
    key.SetString(kHiddenToolTipsValue, "TRUE");
}

std::int32_t ReadLanguageSetting() {
    auto id = static_cast<std::uint32_t>(kNoLanguage);
    RegistryKey key;
    key.Open(RegistryRoot::LocalMachine, kApplicationKeyPath, kRegAccessReadWrite);
    key.QueryDword(kLanguageValue, id);
    return static_cast<std::int32_t>(id);
}

void WriteLanguageSetting(std::int32_t id) {
    RegistryKey key;
    key.Open(RegistryRoot::LocalMachine, kApplicationKeyPath, kRegAccessReadWrite);
    key.SetDword(kLanguageValue, static_cast<std::uint32_t>(id));
}

std::string ReadOutputPathSetting() {
    std::string folder;
    RegistryKey key;
    key.Open(RegistryRoot::LocalMachine, kApplicationKeyPath, kRegAccessReadWrite);
    key.QueryString(kOutputPathValue, folder);
    if (folder.empty() || !FolderExists(folder)) {
        return DefaultOutputFolder();
    }
    // A hand-edited value may lack the "/" that output names are appended to.
    return WithTrailingSlash(folder);
}

void WriteOutputPathSetting(const std::string& folder) {
    RegistryKey key;
    key.Open(RegistryRoot::LocalMachine, kApplicationKeyPath, kRegAccessReadWrite);
    key.SetString(kOutputPathValue, WithTrailingSlash(folder));
}

std::string DefaultOutputFolder() {
    std::string home = platform::HomeFolder();
    if (home.empty()) {
        home = "/tmp";
    } else if (home == "/") {
        home.clear();
    }
    return home + "/ConvertedMedia/";
}

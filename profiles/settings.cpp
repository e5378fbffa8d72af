#include "profiles/settings.h"

#include "platform/file_paths.h"
#include "platform/store_file.h"
#include "platform/user_folders.h"
#include "support/registry_key.h"
#include "support/registry_store.h"

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

bool WriteHiddenToolTips() {
    RegistryKey key;
    key.Open(RegistryRoot::LocalMachine, kApplicationKeyPath, kRegAccessReadWrite);
    return key.SetString(kHiddenToolTipsValue, "TRUE") == kRegOk;
}

std::int32_t ReadLanguageSetting() {
    auto id = static_cast<std::uint32_t>(kNoLanguage);
    RegistryKey key;
    key.Open(RegistryRoot::LocalMachine, kApplicationKeyPath, kRegAccessReadWrite);
    key.QueryDword(kLanguageValue, id);
    return static_cast<std::int32_t>(id);
}

bool WriteLanguageSetting(std::int32_t id) {
    RegistryKey key;
    key.Open(RegistryRoot::LocalMachine, kApplicationKeyPath, kRegAccessReadWrite);
    return key.SetDword(kLanguageValue, static_cast<std::uint32_t>(id)) == kRegOk;
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

bool WriteOutputPathSetting(const std::string& folder) {
    RegistryKey key;
    key.Open(RegistryRoot::LocalMachine, kApplicationKeyPath, kRegAccessReadWrite);
    return key.SetString(kOutputPathValue, WithTrailingSlash(folder)) == kRegOk;
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

std::string SettingsFilePath() {
    const std::string folder = RegistryStoreFolder();
    return folder.empty() ? std::string() : RegistryStoreFile(folder);
}

std::string SettingsFaultLine() {
    const std::string file = SettingsFilePath();
    if (file.empty()) {
        return "Settings cannot be kept: there is no configuration folder ($XDG_CONFIG_HOME or "
               "$HOME); changes made in this run will not be kept.";
    }
    const StoreCheck check = CheckRegistryStore(file);
    switch (check.fault) {
    case StoreFault::None:
        break;
    case StoreFault::Unreadable:
        return "Settings file " + file + " cannot be read (" + platform::ErrorText(check.nError) +
               "); the default settings are used and the file is left as it is.";
    case StoreFault::Damaged:
        return "Settings file " + file +
               " is damaged; the settings that could be read are used, and a copy of the file is "
               "kept before it is written again.";
    case StoreFault::NotWritable:
        return "Settings file " + file + " cannot be written (" +
               platform::ErrorText(check.nError) + "); changes made in this run will not be kept.";
    }
    return {};
}

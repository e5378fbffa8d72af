#pragma once
// Desktop entries and the default application for a MIME type, read the way xdg-mime answers
// "query default": the mimeapps.list files of the XDG configuration and data folders, then the
// older defaults.list files and the mimeinfo.cache of each applications folder. Also the Exec line
// of an entry, split into a program and its arguments by the desktop-entry quoting rules.
//
// GIO answers the same question (g_app_info_get_default_for_uri_scheme) but not in the way the
// browser launcher needs: it passes over an entry whose program is missing or may not be run, so
// the launcher could not say why the browser did not start; it expands the field codes by its own
// rules, where the launcher cuts the command at the first one (and a quoted "%u" would reach the
// browser with its quotes); and it reads the XDG folders once per process, where the lookup takes
// them per call.
#include <string>
#include <vector>

namespace platform {

// The XDG base folders that the lookup reads, each without a trailing "/". The lists are in order
// of preference.
struct XdgFolders {
    std::string strConfigHome;                // $XDG_CONFIG_HOME, else ~/.config
    std::vector<std::string> configDirs;      // $XDG_CONFIG_DIRS, else /etc/xdg
    std::string strDataHome;                  // $XDG_DATA_HOME, else ~/.local/share
    std::vector<std::string> dataDirs;        // $XDG_DATA_DIRS, else /usr/local/share, /usr/share
    std::vector<std::string> currentDesktops; // $XDG_CURRENT_DESKTOP, lower case
};

// The folders as the environment names them, with the XDG defaults for the unset ones. Relative
// folders are dropped, as the XDG rules say.
XdgFolders XdgFoldersFromEnvironment();

// The path of the desktop entry that handles a MIME type (e.g. "x-scheme-handler/https"), or an
// empty text when none is set or the one set is not installed (missing, or marked Hidden).
std::string FindDefaultDesktopEntry(const XdgFolders& folders, const std::string& strMimeType);

// The path of the installed desktop entry with a desktop file id ("firefox-esr.desktop"), looked
// up in the applications folder of the data home, then of each data folder; an id with "-" also
// matches a file in a subfolder ("kde4-kate.desktop" as "kde4/kate.desktop"). Empty when none.
std::string FindDesktopEntry(const XdgFolders& folders, const std::string& strDesktopId);

// The value of a key in the [Desktop Entry] group of an entry, with the string escapes (\s, \n,
// \t, \r, \\) resolved. False when the file cannot be read or has no such key.
bool ReadDesktopEntryValue(const std::string& strPath, const std::string& strKey,
                           std::string& strValue);

// Splits an Exec value into arguments: arguments are separated by spaces; an argument may be
// enclosed in double quotes, inside which \", \`, \$ and \\ stand for the character after the
// backslash. "%%" becomes "%"; any other field code (%i, %c, %k, %f ...) is dropped, an argument
// that is nothing but a field code with it. False for an unterminated quote or an empty result.
bool SplitExecLine(const std::string& strExec, std::vector<std::string>& args);

} // namespace platform

#pragma once
// Where the Linux programs keep KORUNEX.ini, and the default shape file.

#include <filesystem>
#include <optional>
#include <string>

#include "settings/settings_store.h"

// The user's settings file, or why there is none.
struct SettingsLocation {
    std::filesystem::path file;  // empty when `problem` says why there is none
    std::string problem;
};

// $KORUNEX_HOME/<iniFile> when KORUNEX_HOME is set (an absolute folder),
// else $XDG_CONFIG_HOME/korunex/<iniFile>, where a relative XDG_CONFIG_HOME
// is ignored as the XDG rules say and the default is ~/.config; the home
// folder is $HOME, else the user database's. Never a folder under the
// current one.
SettingsLocation FindSettingsFile(const ProfileNames& names);

// The default shape file shipped with the program: beside the installed
// program (../share/korunex) or, in a build tree, the source's data folder.
// Empty when neither exists.
std::filesystem::path DefaultShapeFile(const ProfileNames& names);

// Copies the default shape file to `target`, all or nothing, when no file is
// there yet; a user's own file is never replaced. Nothing when a file is
// there afterwards, else what went wrong.
std::optional<std::string> InstallDefaultShapeFile(const ProfileNames& names, const std::filesystem::path& target);

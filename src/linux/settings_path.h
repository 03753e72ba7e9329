#pragma once
// Where the Linux programs keep KORUNEX.ini, and the default shape file.

#include <filesystem>

#include "settings/settings_store.h"

// $KORUNEX_HOME/<iniFile> when KORUNEX_HOME is set, else
// $XDG_CONFIG_HOME/korunex/<iniFile> (XDG_CONFIG_HOME defaults to ~/.config).
std::filesystem::path SettingsFilePath(const ProfileNames& names);

// The default shape file shipped with the program: beside the installed
// program (../share/korunex) or, in a build tree, the source's data folder.
// Empty when neither exists.
std::filesystem::path DefaultShapeFile(const ProfileNames& names);

// Copies the default shape file to `target` when no file is there yet; a
// user's own file is never replaced. True when `target` exists afterwards.
bool InstallDefaultShapeFile(const ProfileNames& names, const std::filesystem::path& target);

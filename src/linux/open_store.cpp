// Which settings file a command reads, and what it does when that file cannot serve.

#include "linux/command_line.h"
#include "linux/settings_path.h"
#include "settings/settings_file.h"

IniFileStore OpenStore(const Options& options, const ProfileNames& names, StoreUse use) {
    if (options.ini) {
        // A file named on the command line must be there: running on
        // defaults instead would hide the mistake.
        const SettingsFileText file = ReadSettingsFile(*options.ini);
        if (file.status == SettingsFileText::kMissing) throw FileError{"--ini " + *options.ini + ": no such file"};
        if (file.status == SettingsFileText::kRefused) throw FileError{"--ini " + *options.ini + ": " + file.problem};
        return IniFileStore(*options.ini);
    }
    const SettingsLocation location = FindSettingsFile(names);
    if (use == StoreUse::kSaver) {
        if (!location.file.empty()) InstallDefaultShapeFile(names, location.file);
        return IniFileStore(location.file);  // no file, or one that cannot be read: the defaults
    }
    if (location.file.empty()) throw FileError{location.problem};
    if (const std::optional<std::string> problem = InstallDefaultShapeFile(names, location.file))
        throw FileError{*problem};
    const SettingsFileText file = ReadSettingsFile(location.file);
    if (file.status == SettingsFileText::kRefused) throw FileError{location.file.string() + " " + file.problem};
    return IniFileStore(location.file);
}

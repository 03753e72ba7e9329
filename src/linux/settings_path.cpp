#include "linux/settings_path.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "settings/settings_file.h"

namespace fs = std::filesystem;

namespace {

fs::path FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? fs::path(value) : fs::path();
}

// $HOME, else the home folder the user database gives; empty when neither is an absolute folder.
fs::path HomeFolder() {
    if (fs::path home = FromEnvironment("HOME"); home.is_absolute()) return home;
    const struct passwd* user = ::getpwuid(::getuid());
    const fs::path home = user && user->pw_dir ? fs::path(user->pw_dir) : fs::path();
    return home.is_absolute() ? home : fs::path();
}

}  // namespace

SettingsLocation FindSettingsFile(const ProfileNames& names) {
    if (fs::path home = FromEnvironment("KORUNEX_HOME"); !home.empty()) {
        std::error_code error;
        if (!home.is_absolute()) return {{}, "KORUNEX_HOME=" + home.string() + " is not an absolute folder"};
        if (fs::exists(home, error) && !fs::is_directory(home, error))
            return {{}, "KORUNEX_HOME=" + home.string() + " names a file, not a folder"};
        return {home / names.iniFile, {}};
    }
    fs::path config = FromEnvironment("XDG_CONFIG_HOME");
    if (!config.is_absolute()) {
        const fs::path home = HomeFolder();
        if (home.empty()) return {{}, "no home folder to keep the settings in: set HOME or KORUNEX_HOME"};
        config = home / ".config";
    }
    return {config / "korunex" / names.iniFile, {}};
}

fs::path DefaultShapeFile(const ProfileNames& names) {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    const fs::path candidates[] = {
        error ? fs::path() : program.parent_path().parent_path() / "share" / "korunex" / names.iniFile,
        fs::path(KORUNEX_SOURCE_DATA_DIR) / names.iniFile,
    };
    for (const fs::path& candidate : candidates)
        if (!candidate.empty() && fs::is_regular_file(candidate, error)) return candidate;
    return {};
}

std::optional<std::string> InstallDefaultShapeFile(const ProfileNames& names, const fs::path& target) {
    std::error_code error;
    if (fs::exists(fs::symlink_status(target, error))) return std::nullopt;
    const fs::path source = DefaultShapeFile(names);
    if (source.empty()) return "no default shape file to install at " + target.string();
    if (std::optional<std::string> problem = InstallFileOnce(source, target)) return target.string() + " " + *problem;
    return std::nullopt;
}

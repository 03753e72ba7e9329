#include "linux/settings_path.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? fs::path(value) : fs::path();
}

}  // namespace

fs::path SettingsFilePath(const ProfileNames& names) {
    if (fs::path home = FromEnvironment("KORUNEX_HOME"); !home.empty()) return home / names.iniFile;
    fs::path config = FromEnvironment("XDG_CONFIG_HOME");
    if (config.empty()) config = FromEnvironment("HOME") / ".config";
    return config / "korunex" / names.iniFile;
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

bool InstallDefaultShapeFile(const ProfileNames& names, const fs::path& target) {
    std::error_code error;
    if (fs::exists(target, error)) return true;
    const fs::path source = DefaultShapeFile(names);
    if (source.empty()) return false;
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
    fs::copy_file(source, target, fs::copy_options::skip_existing, error);
    return fs::exists(target, error);
}

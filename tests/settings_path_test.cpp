#include "linux/settings_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class SettingsPath : public ::testing::Test {
protected:
    void SetUp() override {
        LoadKeyNames(names);
        folder = fs::temp_directory_path() / "korunex-path-test";
        fs::remove_all(folder);
        for (const char* name : {"KORUNEX_HOME", "XDG_CONFIG_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved)
            value ? setenv(name, value->c_str(), 1) : unsetenv(name);
        fs::remove_all(folder);
    }
    ProfileNames names;
    fs::path folder;
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
};

TEST_F(SettingsPath, FollowsKorunexHomeThenTheXdgConfigFolder) {
    setenv("HOME", "/home/someone", 1);
    unsetenv("KORUNEX_HOME");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(FindSettingsFile(names).file, "/home/someone/.config/korunex/KORUNEX.ini");
    setenv("XDG_CONFIG_HOME", "relative/config", 1);  // not absolute: ignored
    EXPECT_EQ(FindSettingsFile(names).file, "/home/someone/.config/korunex/KORUNEX.ini");
    setenv("XDG_CONFIG_HOME", "/etc/xdg-user", 1);
    EXPECT_EQ(FindSettingsFile(names).file, "/etc/xdg-user/korunex/KORUNEX.ini");
    setenv("KORUNEX_HOME", "/srv/korunex", 1);
    EXPECT_EQ(FindSettingsFile(names).file, "/srv/korunex/KORUNEX.ini");

    unsetenv("KORUNEX_HOME");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");  // the user database's home folder, never the current folder
    EXPECT_TRUE(FindSettingsFile(names).file.is_absolute()) << FindSettingsFile(names).problem;
    setenv("KORUNEX_HOME", "here", 1);
    EXPECT_EQ(FindSettingsFile(names).problem, "KORUNEX_HOME=here is not an absolute folder");
}

TEST_F(SettingsPath, TheDefaultShapeFileIsInstalledOnceAndNeverOverwritten) {
    const fs::path target = folder / "korunex" / "KORUNEX.ini";
    ASSERT_FALSE(InstallDefaultShapeFile(names, target));
    EXPECT_EQ(fs::file_size(target), fs::file_size(DefaultShapeFile(names)));

    std::ofstream(target, std::ios::trunc) << "[KORUNEX]\nTIMER=70\n";
    ASSERT_FALSE(InstallDefaultShapeFile(names, target));
    std::ifstream in(target);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "[KORUNEX]\nTIMER=70\n");
}

}  // namespace

#pragma once
// A settings file in a fresh temporary folder, read and written through the
// platform's store: our own ini code on Linux, the profile calls on Windows.

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "settings/profile_store.h"
#ifdef _WIN32
#include "settings/profile_store_win32.h"
#else
#include "settings/ini_file_store.h"
#endif

class TempIniFile {
public:
    TempIniFile() {
        folder_ = std::filesystem::temp_directory_path() /
                  ("korunex-test-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / "KORUNEX.ini").string();
#ifdef _WIN32
        store_ = std::make_unique<Win32ProfileStore>(path_.c_str());
#else
        store_ = std::make_unique<IniFileStore>(path_);
#endif
    }
    ~TempIniFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    ProfileStore& store() { return *store_; }
    const std::string& path() const { return path_; }

    void Write(std::string_view text) const {
        std::ofstream(path_, std::ios::binary) << text;
    }
    std::string Read() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::filesystem::path folder_;
    std::string path_;
    std::unique_ptr<ProfileStore> store_;
};

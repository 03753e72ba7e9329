#pragma once
// A ProfileStore over the settings file on disk (Linux): our own ini code
// where Windows has its profile calls.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "settings/ini_file.h"
#include "settings/profile_store.h"

// The file is parsed at the first read and again whenever its size or time
// of change differs from what was parsed; a file that cannot be read (no
// regular file, too large, unreadable) reads as missing keys, so the saver
// runs on its defaults. A write changes the file through UpdateSettingsFile.
class IniFileStore final : public ProfileStore {
public:
    explicit IniFileStore(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& path() const { return path_; }

    int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override;
    size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                      size_t capacity) const override;
    bool WriteString(const char* section, const char* key, const char* value) override;

    // The parsed file, or null when it cannot be read (a missing file reads
    // as empty). Valid until the next call on this store.
    const IniDocument* Document() const;

private:
    struct Parsed {
        std::uintmax_t size;
        std::filesystem::file_time_type changed;
        std::optional<IniDocument> document;  // none: the file was unreadable
    };

    std::filesystem::path path_;
    mutable std::optional<Parsed> parsed_;
};

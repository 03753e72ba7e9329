#pragma once
// Our own ini reader and writer, behaving like the platform's private-profile
// calls for everything KORUNEX uses: section and key names without regard to
// case, values trimmed of blanks (and of one pair of enclosing quotes), a
// missing section or key reads as absent; a write replaces the key's line in
// place or adds it at the end of its section (or the section at the end of the
// text), and every other line stays byte for byte as it was.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "settings/profile_store.h"

// The value of `key` in the first section named `section` that holds it.
std::optional<std::string_view> FindIniValue(std::string_view text, std::string_view section,
                                             std::string_view key);

// `text` with `key` of `section` set to `value`. New lines take the line
// ending the text already uses ("\r\n" when it has one, else "\n").
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

// An ini value read as the platform reads integers: blanks, an optional sign,
// then decimal digits up to the first other character, modulo 2^32. Nothing
// numeric gives 0.
int32_t ParseProfileInt(std::string_view value);

// Replaces a file's whole text in one rename, so no reader ever sees a
// half-written file: a symlink is followed to its file, whose permissions
// the new file keeps; a file that no one may write is refused; the file's
// directory is created when missing. On failure the file stays as it was
// and the problem is returned in plain words.
std::optional<std::string> ReplaceFileText(const std::filesystem::path& path, std::string_view text);

// A ProfileStore over ini text in memory.
class IniTextStore final : public ProfileStore {
public:
    explicit IniTextStore(std::string text) : text(std::move(text)) {}

    int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override;
    size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                      size_t capacity) const override;
    bool WriteString(const char* section, const char* key, const char* value) override;

    std::string text;
};

// A ProfileStore over one file, written through ReplaceFileText.
class IniFileStore final : public ProfileStore {
public:
    explicit IniFileStore(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& path() const { return path_; }

    int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override;
    size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                      size_t capacity) const override;
    bool WriteString(const char* section, const char* key, const char* value) override;

    // The whole file, or nothing when it cannot be read.
    std::optional<std::string> ReadText() const;

private:
    std::filesystem::path path_;
};

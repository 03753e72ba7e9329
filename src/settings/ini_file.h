#pragma once
// Our own ini reader and writer, reading what the platform's private-profile
// calls read and writing where they would look:
// - a file that starts with a UTF-8 or UTF-16 byte-order mark is read in that
//   encoding; text outside ASCII then reads as '?' in the 8-bit code page;
// - lines end at '\n', "\r\n" or a lone '\r';
// - blanks are trimmed off both ends of a line, on both sides of a key's '='
//   and inside a section line's brackets;
// - a line that starts with '[' and holds a ']' names a section, up to the
//   last ']'; any other line is a key, up to its first '=' (none: no value);
// - a name or value ends at a NUL byte;
// - section and key names are found without regard to ASCII case, and only
//   the first section of a name and the first key of a name in it count.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "settings/profile_store.h"

// A whole ini file, parsed once. Lookups take constant time, so that a file
// of many thousands of records is read quickly.
class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string_view fileBytes);

    // The value of `key` in the first section named `section`: nothing when
    // that section has no such key or the key's line has no '='.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

private:
    using Keys = std::unordered_map<std::string, std::optional<std::string_view>>;
    // The file in the 8-bit code page; the views below point into it, so it
    // stays in place when the document moves.
    std::unique_ptr<std::string> text_;
    std::unordered_map<std::string, Keys> sections_;
};

// The part of a found value that the platform copies into a buffer of
// `capacity` bytes (the terminating zero included): one pair of enclosing
// quotes dropped, cut to capacity - 1 bytes.
std::string_view CopiedProfileValue(std::string_view value, size_t capacity);

// A value as the platform reads an integer from it: the first 29 bytes of
// the copied value; blanks and control characters, an optional sign, then
// "0x", "0o" or "0b" for base 16, 8 or 2, else decimal; digits up to the
// first other character, modulo 2^32. Nothing numeric gives 0.
int32_t ParseProfileInt(std::string_view copiedValue);

// `fileBytes` with `key` of the first `section` set to `value` (ASCII). The
// key's line is replaced where it is, else a line is added at the end of
// the section, else the section at the end of the file. New lines take the
// line ending the text already uses ("\r\n" when it has one, else "\n"),
// the file keeps its byte-order mark and encoding, and every other line
// stays byte for byte as it was.
std::string SetIniValue(std::string_view fileBytes, std::string_view section, std::string_view key,
                        std::string_view value);

// Replaces a file's whole text in one rename, so no reader ever sees a
// half-written file: a symlink is followed to its file, whose permissions
// the new file keeps; a file that no one may write is refused; the file's
// directory is created when missing. On failure the file stays as it was
// and the problem is returned in plain words.
std::optional<std::string> ReplaceFileText(const std::filesystem::path& path, std::string_view text);

// A ProfileStore over ini text in memory, parsed at the first read after a change.
class IniTextStore final : public ProfileStore {
public:
    explicit IniTextStore(std::string text) : text_(std::move(text)) {}

    const std::string& text() const { return text_; }

    int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override;
    size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                      size_t capacity) const override;
    bool WriteString(const char* section, const char* key, const char* value) override;

private:
    const IniDocument& Document() const;

    std::string text_;
    mutable std::optional<IniDocument> document_;
};

// A ProfileStore over one file. The file is parsed at the first read and
// again whenever its size or time of change differs from what was parsed. A
// write goes through ReplaceFileText.
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

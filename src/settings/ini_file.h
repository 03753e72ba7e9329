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
// - a NUL byte ends no line, and the last ']' and the first '=' are looked
//   for past it; a name or value is trimmed first and then cut at its first
//   NUL, so blanks before the NUL stay ("A \0=1" is the key "A "), and a
//   line that starts with a NUL ("\0[K]") is a key, not a section;
// - one pair of quotes, ' or ", around the whole value as cut at its NUL is
//   dropped when the value is copied ("12" and then a NUL reads 12, while
//   "12, a NUL and " reads "12), the closing one only as the copy's last
//   byte (see CopiedProfileValue); quotes anywhere else are text;
// - section and key names are found without regard to ASCII case and
//   without the blanks at the ends of the names asked for, and only the
//   first section of a name and the first key of a name in it count.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>


// A whole ini file, parsed once. Lookups take constant time, so that a file
// of many thousands of records is read quickly.
class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string_view fileBytes);

    // The value of `key` in the first section named `section` (both without
    // the blanks at their ends): nothing when that section has no such key or
    // the key's line has no '='.
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

// `fileBytes` with `key` of the first `section` (names found as Find finds
// them) set to `value`, which holds no line ending. The key's line is
// replaced where it is, else a line is added at the end of the section,
// else the section at the end of the file. New lines take the line ending
// the text already uses ("\r\n" when it has one, else "\n"), the file keeps
// its byte-order mark and encoding, and every other line stays byte for
// byte as it was (a stray last byte of a UTF-16 file included). In a file
// with a byte-order mark every byte of `value` outside ASCII is written as
// '?', which is what it would read as.
std::string SetIniValue(std::string_view fileBytes, std::string_view section, std::string_view key,
                        std::string_view value);

// True when the file's bytes start with a UTF-8 or UTF-16 byte-order mark:
// its text outside ASCII then reads as '?' (see above).
bool HasByteOrderMark(std::string_view fileBytes);

// A key's value as the profile calls read it from `document` (null: a file
// that could not be read, so every key is missing): as an integer, with
// `byDefault` for a missing or empty value; as a string copied into
// `buffer` of `capacity` bytes, zero-terminated, with `byDefault` for a
// missing key. ReadDocumentString returns the bytes copied.
int32_t ReadDocumentInt(const IniDocument* document, const char* section, const char* key, int32_t byDefault);
size_t ReadDocumentString(const IniDocument* document, const char* section, const char* key, const char* byDefault,
                          char* buffer, size_t capacity);

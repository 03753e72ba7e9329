#include "settings/ini_file.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view s) {
    const size_t begin = s.find_first_not_of(kBlanks);
    if (begin == std::string_view::npos) return {};
    return s.substr(begin, s.find_last_not_of(kBlanks) - begin + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

// One physical line of the text: [begin, end) holds its content without the
// line ending, which runs up to `next`.
struct Line {
    size_t begin, end, next;
};

Line LineAt(std::string_view text, size_t begin) {
    size_t newline = text.find('\n', begin);
    size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
    size_t end = newline == std::string_view::npos ? text.size() : newline;
    if (end > begin && text[end - 1] == '\r') --end;
    return {begin, end, next};
}

// What a line means to the reader.
struct Entry {
    enum Kind { kOther, kSection, kKey } kind = kOther;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed
};

Entry ReadEntry(std::string_view line) {
    const std::string_view content = Trim(line);
    if (content.empty() || content.front() == ';') return {};
    if (content.front() == '[') {
        const std::string_view inner = content.substr(1);
        return {Entry::kSection, Trim(inner.substr(0, inner.find(']'))), {}};
    }
    const size_t equals = content.find('=');
    if (equals == std::string_view::npos) return {};
    return {Entry::kKey, Trim(content.substr(0, equals)), Trim(content.substr(equals + 1))};
}

std::string_view StripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

std::optional<std::string_view> FindIniValue(std::string_view text, std::string_view section,
                                             std::string_view key) {
    bool inSection = false;
    for (size_t at = 0; at < text.size();) {
        const Line line = LineAt(text, at);
        at = line.next;
        const Entry entry = ReadEntry(text.substr(line.begin, line.end - line.begin));
        if (entry.kind == Entry::kSection) {
            inSection = EqualsIgnoringCase(entry.name, section);
        } else if (entry.kind == Entry::kKey && inSection && EqualsIgnoringCase(entry.name, key)) {
            return StripQuotes(entry.value);
        }
    }
    return std::nullopt;
}

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
    const std::string_view newline = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";

    bool inSection = false;       // inside any section of that name
    bool inFirstSection = false;  // inside the first one, which new keys join
    std::optional<Line> sectionEnd;  // its last non-blank line
    for (size_t at = 0; at < text.size();) {
        const Line line = LineAt(text, at);
        at = line.next;
        const std::string_view content = text.substr(line.begin, line.end - line.begin);
        const Entry entry = ReadEntry(content);
        if (entry.kind == Entry::kSection) {
            inSection = EqualsIgnoringCase(entry.name, section);
            inFirstSection = inSection && !sectionEnd;
            if (inFirstSection) sectionEnd = line;
        } else if (inSection && entry.kind == Entry::kKey && EqualsIgnoringCase(entry.name, key)) {
            std::string out(text.substr(0, line.begin));
            out.append(entry.name).append("=").append(value).append(text.substr(line.end));
            return out;
        } else if (inFirstSection && !Trim(content).empty()) {
            sectionEnd = line;
        }
    }

    std::string out;
    size_t rest = text.size();
    if (sectionEnd) {
        rest = sectionEnd->next;
        out.append(text.substr(0, rest));
        if (!out.empty() && out.back() != '\n') out.append(newline);  // it had no line ending
    } else {
        out.append(text);
        if (!out.empty() && out.back() != '\n') out.append(newline);
        const bool endsWithBlankLine = out.empty() || out.ends_with("\n\n") || out.ends_with("\n\r\n");
        if (!endsWithBlankLine) out.append(newline);  // a blank line between sections
        out.append("[").append(section).append("]").append(newline);
    }
    out.append(key).append("=").append(value).append(newline);
    out.append(text.substr(rest));
    return out;
}

int32_t ParseProfileInt(std::string_view value) {
    size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    uint32_t magnitude = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        magnitude = magnitude * 10u + static_cast<uint32_t>(value[i] - '0');
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

std::optional<std::string> IniFileStore::ReadText() const {
    std::ifstream in(path_, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return std::move(text).str();
}

int32_t IniTextStore::ReadInt(const char* section, const char* key, int32_t byDefault) const {
    const std::optional<std::string_view> value = FindIniValue(text, section, key);
    return !value || value->empty() ? byDefault : ParseProfileInt(*value);
}

size_t IniTextStore::ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                                size_t capacity) const {
    if (capacity == 0) return 0;
    const std::string_view value = FindIniValue(text, section, key).value_or(byDefault);
    const size_t length = std::min(value.size(), capacity - 1);
    if (length > 0) std::memcpy(buffer, value.data(), length);  // an empty value may have no data
    buffer[length] = '\0';
    return length;
}

bool IniTextStore::WriteString(const char* section, const char* key, const char* value) {
    text = SetIniValue(text, section, key, value);
    return true;
}

int32_t IniFileStore::ReadInt(const char* section, const char* key, int32_t byDefault) const {
    return IniTextStore(ReadText().value_or("")).ReadInt(section, key, byDefault);
}

size_t IniFileStore::ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                                size_t capacity) const {
    return IniTextStore(ReadText().value_or("")).ReadString(section, key, byDefault, buffer, capacity);
}

std::optional<std::string> ReplaceFileText(const std::filesystem::path& path, std::string_view text) {
    namespace fs = std::filesystem;
    std::error_code error;
    // Through a symlink to the file itself, so the link stays a link.
    fs::path target = path;
    for (int hops = 0; fs::is_symlink(target, error) && hops < 40; ++hops) {
        const fs::path link = fs::read_symlink(target, error);
        if (error) return "cannot follow the link " + target.string();
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    const fs::file_status status = fs::status(target, error);
    const bool exists = fs::exists(status);
    constexpr fs::perms kAnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (exists && !fs::is_regular_file(status)) return target.string() + " is not a regular file";
    if (exists && (status.permissions() & kAnyWrite) == fs::perms::none) return target.string() + " is read-only";

    if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
    fs::path temporary = target;
    temporary += ".tmp" + std::to_string(std::random_device{}() % 1000000u);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, error);
            return "cannot write beside " + target.string() + " (is its folder writable and the disk not full?)";
        }
    }
    if (exists) fs::permissions(temporary, status.permissions(), error);
    fs::rename(temporary, target, error);
    if (error) {
        const std::string reason = error.message();
        fs::remove(temporary, error);
        return "cannot replace " + target.string() + ": " + reason;
    }
    return std::nullopt;
}

bool IniFileStore::WriteString(const char* section, const char* key, const char* value) {
    namespace fs = std::filesystem;
    std::error_code error;
    const std::optional<std::string> old = ReadText();
    if (!old && fs::exists(path_, error)) return false;  // there but unreadable: never replace it
    return !ReplaceFileText(path_, SetIniValue(old.value_or(""), section, key, value));
}

#include "settings/ini_file.h"

#include <algorithm>
#include <cstring>

#include "settings/ascii_text.h"
#include "settings/ini_encoding.h"

namespace {

// Blanks as the profile calls trim them: the C blanks and the DOS
// end-of-file mark 0x1A.
bool IsBlank(unsigned char c) { return (c >= 0x09 && c <= 0x0D) || c == ' ' || c == 0x1A; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && IsBlank(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::string_view UpToNul(std::string_view s) { return s.substr(0, s.find('\0')); }

// ---- Lines ----------------------------------------------------------------

// What one line means, its views pointing into the text.
struct Entry {
    enum Kind { kNothing, kSection, kKey } kind = kNothing;
    std::string_view name;                  // cut at a NUL
    std::string_view rawName;               // a key's name as written, for rewriting its line
    std::optional<std::string_view> value;  // a key's value, cut at a NUL; none without '='
};

Entry ReadEntry(std::string_view line) {
    const std::string_view content = Trim(line);
    if (content.empty()) return {};
    if (content.front() == '[') {
        const size_t close = content.rfind(']');
        if (close != std::string_view::npos)
            return {Entry::kSection, UpToNul(Trim(content.substr(1, close - 1))), {}, {}};
    }
    const size_t equals = content.find('=');
    if (equals == std::string_view::npos) return {Entry::kKey, UpToNul(content), content, std::nullopt};
    const std::string_view name = Trim(content.substr(0, equals));
    return {Entry::kKey, UpToNul(name), name, UpToNul(Trim(content.substr(equals + 1)))};
}

// One line of the text: [begin, end) holds it without its line ending
// ("\r\n", '\n' or a lone '\r'), which ends at `next`.
struct Line {
    size_t begin, end, next;
};

Line LineAt(std::string_view text, size_t begin) {
    const size_t ending = text.find_first_of("\r\n", begin);
    if (ending == std::string_view::npos) return {begin, text.size(), text.size()};
    const bool isCrLf = text[ending] == '\r' && ending + 1 < text.size() && text[ending + 1] == '\n';
    return {begin, ending, ending + (isCrLf ? 2 : 1)};
}

bool EndsWithLineEnding(std::string_view text) { return text.ends_with('\n') || text.ends_with('\r'); }

std::string_view WithoutLastEnding(std::string_view text) {
    if (text.ends_with("\r\n")) return text.substr(0, text.size() - 2);
    return EndsWithLineEnding(text) ? text.substr(0, text.size() - 1) : text;
}

// The text with `key` of the first `section` set: `text` holds no byte-order mark.
std::string SetInText(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value) {
    const std::string_view newline = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";

    bool inSection = false;
    std::optional<Line> sectionEnd;  // the first section's last line that is not blank
    for (size_t at = 0; at < text.size();) {
        const Line line = LineAt(text, at);
        at = line.next;
        std::string_view content = text.substr(line.begin, line.end - line.begin);
        const Entry entry = ReadEntry(content);
        if (entry.kind == Entry::kSection) {
            if (inSection) break;  // the end of the first section of that name
            inSection = !entry.name.empty() && EqualsIgnoringCase(entry.name, section);
            if (inSection) sectionEnd = line;
        } else if (inSection && entry.kind == Entry::kKey) {
            sectionEnd = line;
            if (!EqualsIgnoringCase(entry.name, key)) continue;
            // The line keeps the blanks before its name and after its text.
            const size_t nameAt = static_cast<size_t>(entry.rawName.data() - text.data());
            const std::string_view kept = Trim(content);
            const size_t restEnd = static_cast<size_t>(kept.data() - text.data()) + kept.size();
            std::string out(text.substr(0, nameAt));
            out.append(entry.rawName).append("=").append(value).append(text.substr(restEnd));
            return out;
        }
    }

    std::string out;
    size_t rest = text.size();
    if (sectionEnd) {
        rest = sectionEnd->next;
        out.append(text.substr(0, rest));
        if (!out.empty() && !EndsWithLineEnding(out)) out.append(newline);  // it had no line ending
    } else {
        out.append(text);
        if (!out.empty() && !EndsWithLineEnding(out)) out.append(newline);
        const std::string_view beforeLastEnding = WithoutLastEnding(out);
        const bool endsWithBlankLine = beforeLastEnding.empty() || EndsWithLineEnding(beforeLastEnding);
        if (!endsWithBlankLine) out.append(newline);  // a blank line between sections
        out.append("[").append(section).append("]").append(newline);
    }
    out.append(key).append("=").append(value).append(newline);
    out.append(text.substr(rest));
    return out;
}

}  // namespace

IniDocument::IniDocument(std::string_view fileBytes) {
    const Marked marked = DetectEncoding(fileBytes);
    text_ = std::make_unique<std::string>(TextOf(fileBytes, marked));
    if (marked.encoding != Encoding::kAnsi) *text_ = Utf8ToCodePage(*text_);

    Keys* keys = nullptr;  // the section being read, or null when it does not count
    const std::string_view text = *text_;
    for (size_t at = 0; at < text.size();) {
        const Line line = LineAt(text, at);
        at = line.next;
        const Entry entry = ReadEntry(text.substr(line.begin, line.end - line.begin));
        if (entry.kind == Entry::kSection) {
            // A later section of a name already seen is read by no one; nor is an unnamed one.
            const std::string name = LowerAscii(entry.name);
            keys = name.empty() || sections_.contains(name) ? nullptr : &sections_[name];
        } else if (entry.kind == Entry::kKey && keys != nullptr) {
            keys->try_emplace(LowerAscii(entry.name), entry.value);
        }
    }
}

std::optional<std::string_view> IniDocument::Find(std::string_view section, std::string_view key) const {
    const auto found = sections_.find(LowerAscii(Trim(section)));
    if (found == sections_.end()) return std::nullopt;
    const auto value = found->second.find(LowerAscii(Trim(key)));
    return value == found->second.end() ? std::nullopt : value->second;
}

std::string_view CopiedProfileValue(std::string_view value, size_t capacity) {
    if (capacity == 0) return {};
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (quoted) value.remove_prefix(1);
    std::string_view copied = value.substr(0, std::min(value.size(), capacity - 1));
    // The closing quote is dropped as the copy's last byte, whichever byte that is.
    if (quoted && capacity >= value.size() && !copied.empty()) copied.remove_suffix(1);
    return copied;
}

int32_t ParseProfileInt(std::string_view value) {
    size_t i = 0;
    while (i < value.size() && static_cast<unsigned char>(value[i]) <= ' ') ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    uint32_t base = 10;
    if (value.size() - i >= 2 && value[i] == '0') {
        const char prefix = value[i + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10) i += 2;
    }
    uint32_t magnitude = 0;
    for (; i < value.size(); ++i) {
        const char c = value[i];
        const uint32_t digit = c >= '0' && c <= '9'   ? uint32_t(c - '0')
                               : c >= 'a' && c <= 'z' ? uint32_t(c - 'a' + 10)
                               : c >= 'A' && c <= 'Z' ? uint32_t(c - 'A' + 10)
                                                      : 99u;
        if (digit >= base) break;
        magnitude = magnitude * base + digit;
    }
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

std::string SetIniValue(std::string_view fileBytes, std::string_view section, std::string_view key,
                        std::string_view value) {
    const Marked marked = DetectEncoding(fileBytes);
    // A file with a mark reads every character outside ASCII as '?', so that is what is written: a byte
    // taken for the start of a UTF-8 sequence would turn into some other character and take the bytes
    // after it along.
    std::string written(value);
    const auto isBeyondAscii = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
    if (marked.encoding != Encoding::kAnsi) std::replace_if(written.begin(), written.end(), isBeyondAscii, '?');
    const std::string changed = SetInText(TextOf(fileBytes, marked), Trim(section), Trim(key), written);
    // A UTF-16 file of an odd length keeps its stray last byte, which no reader reads as text.
    const bool isUtf16 = marked.encoding == Encoding::kUtf16Le || marked.encoding == Encoding::kUtf16Be;
    const bool hasStrayByte = isUtf16 && (fileBytes.size() - marked.markBytes) % 2 != 0;
    return std::string(fileBytes.substr(0, marked.markBytes)) + InEncoding(changed, marked) +
           std::string(hasStrayByte ? fileBytes.substr(fileBytes.size() - 1) : std::string_view());
}

int32_t ReadDocumentInt(const IniDocument* document, const char* section, const char* key, int32_t byDefault) {
    const std::optional<std::string_view> value = document ? document->Find(section, key) : std::nullopt;
    // The platform reads integers through a buffer of 30 characters.
    const std::string_view copied = value ? CopiedProfileValue(*value, 30) : std::string_view{};
    return copied.empty() ? byDefault : ParseProfileInt(copied);
}

size_t ReadDocumentString(const IniDocument* document, const char* section, const char* key, const char* byDefault,
                      char* buffer, size_t capacity) {
    if (capacity == 0) return 0;
    const std::optional<std::string_view> value = document ? document->Find(section, key) : std::nullopt;
    std::string_view chosen;
    if (value) {
        chosen = CopiedProfileValue(*value, capacity);
    } else {
        chosen = byDefault;
        while (chosen.ends_with(' ')) chosen.remove_suffix(1);  // the platform drops a default's trailing blanks
        chosen = chosen.substr(0, capacity - 1);
    }
    if (!chosen.empty()) std::memcpy(buffer, chosen.data(), chosen.size());  // an empty value may have no data
    buffer[chosen.size()] = '\0';
    return chosen.size();
}

bool HasByteOrderMark(std::string_view fileBytes) { return DetectEncoding(fileBytes).encoding != Encoding::kAnsi; }

// A text's records planned into any file: every line that is not a written
// key stays byte for byte, the records read back as planned, a second plan
// of the same records changes nothing, and no file gets past 99 records.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "glyphs/shape_file_update.h"
#include "glyphs/text_codes.h"
#include "glyphs/text_fit.h"
#include "ini_blanks.h"
#include "settings/ini_text_store.h"
#include "settings/record_tokens.h"
#include "settings/shape_names.h"

namespace {

void Require(bool holds, int line = __builtin_LINE()) {
    if (holds) return;
    std::fprintf(stderr, "the invariant of line %d does not hold\n", line);
    std::abort();
}

std::string_view MarkOf(std::string_view bytes) {
    for (std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"})
        if (bytes.starts_with(mark)) return mark;
    return {};
}

// The file's text after its byte-order mark as code units: bytes, or the
// 16-bit units of UTF-16, so that lines of either compare the same way. A
// byte left over at the end of UTF-16 is no unit (see StrayByte).
std::u32string Units(std::string_view bytes) {
    const std::string_view mark = MarkOf(bytes);
    bytes.remove_prefix(mark.size());
    std::u32string units;
    if (mark.size() != 2) {
        for (unsigned char c : bytes) units += c;
        return units;
    }
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const uint32_t first = uint8_t(bytes[i]), second = uint8_t(bytes[i + 1]);
        units += mark == "\xFE\xFF" ? char32_t(first << 8 | second) : char32_t(second << 8 | first);
    }
    return units;
}

// The byte left over at the end of a UTF-16 file, which a save must keep there; -1 for none.
int StrayByte(std::string_view bytes) {
    const bool isUtf16 = MarkOf(bytes).size() == 2 && bytes.size() % 2 != 0;
    return isUtf16 ? uint8_t(bytes.back()) : -1;
}

std::u32string_view Trim(std::u32string_view s) { return TrimIniBlanks(s); }

// A name of the file against an ASCII name, without regard to case: as the
// reader takes it, trimmed and then cut at a NUL.
bool IsNamed(std::u32string_view name, std::string_view ascii) {
    name = Trim(name);
    name = name.substr(0, name.find(U'\0'));
    if (name.size() != ascii.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        auto lower = [](char32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(name[i]) != lower(char32_t(uint8_t(ascii[i])))) return false;
    }
    return true;
}

struct Lines {
    std::vector<std::u32string_view> kept;  // without their endings
    std::vector<std::string> sections;      // the sections the text names
};

// The lines of `units` that hold none of the written keys.
Lines OtherLines(std::u32string_view units, const std::vector<IniWrite>& writes) {
    Lines lines;
    std::u32string_view section;
    for (size_t at = 0; at < units.size();) {
        const size_t ending = std::min(units.find_first_of(U"\r\n", at), units.size());
        const std::u32string_view line = units.substr(at, ending - at);
        at = ending + (units.substr(ending, 2) == U"\r\n" ? 2 : 1);
        const std::u32string_view content = Trim(line);
        bool isWritten = false;
        if (!content.empty() && content.front() == '[' && content.rfind(']') != content.npos) {
            section = content.substr(1, content.rfind(']') - 1);
            for (const IniWrite& write : writes)
                if (IsNamed(section, write.section)) lines.sections.push_back(write.section);
        } else {
            for (const IniWrite& write : writes)
                isWritten |= IsNamed(section, write.section) && IsNamed(content.substr(0, content.find('=')), write.key);
        }
        if (!isWritten) lines.kept.push_back(line);
    }
    return lines;
}

// True when `after` keeps every line of `before` but the written keys; a
// section that was not there may come at the end, after a blank line.
bool KeepsOtherLines(std::string_view before, std::string_view after, const std::vector<IniWrite>& writes) {
    const std::u32string was = Units(before), is = Units(after);
    const Lines old = OtherLines(was, writes);
    Lines now = OtherLines(is, writes);
    auto isNewSection = [&](std::u32string_view line) {
        for (const IniWrite& write : writes)
            if (IsNamed(line, "[" + write.section + "]") &&
                std::find(old.sections.begin(), old.sections.end(), write.section) == old.sections.end())
                return true;
        return false;
    };
    while (now.kept.size() > old.kept.size() && (now.kept.back().empty() || isNewSection(now.kept.back())))
        now.kept.pop_back();
    return now.kept == old.kept && MarkOf(after) == MarkOf(before) && StrayByte(after) == StrayByte(before);
}

// A few records the input decides: blanks, copies of the file's records,
// new ones named as the text tool names them, and repeats of these.
std::vector<TextRecord> RecordsFor(std::string_view input, const ProfileStore& file, const ProfileNames& names,
                                   uint64_t seed) {
    std::vector<TextRecord> records;
    const int32_t there = ReadFileRecords(file, names).count;
    for (int k = int(seed % 12); k > 0; --k, seed = seed * 6364136223846793005u + 1442695040888963407u) {
        const uint32_t pick = uint32_t(seed >> 33);
        char value[512];
        if (pick % 4 == 0) {
            records.push_back({""});
        } else if (pick % 4 == 1 && there > 0) {
            file.ReadString(names.shapeSection, RecordKey(1 + int32_t(pick / 4 % uint32_t(there))).c_str(), "", value,
                            sizeof value);
            records.push_back({value});
        } else if (pick % 4 == 2 && !records.empty()) {
            records.push_back(records[pick / 4 % records.size()]);
        } else {
            const uint8_t byte = input.empty() ? 'A' : uint8_t(input[pick / 4 % input.size()]);
            const char32_t character = byte < 0x80 ? byte : 0x3041 + byte;  // kana and beyond for the high bytes
            FittedGlyph triangle;
            triangle.contours.push_back({{0, 0}, {int32_t(pick % 40), 9}, {-9, int32_t(pick % 50)}});
            records.push_back({FormatShapeRecord(RecordName(character, NameBytesOf(input)), triangle)});
        }
    }
    return records;
}

// Records as the plan compares them: blanks and tabs around a value do not count.
bool IsSameRecord(std::string_view a, std::string_view b) {
    auto trim = [](std::string_view s) {
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
        return s;
    };
    return trim(a) == trim(b);
}

std::string Read(const ProfileStore& store, const std::string& section, const std::string& key) {
    char value[1024];
    store.ReadString(section.c_str(), key.c_str(), "", value, sizeof value);
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ProfileNames names;
    LoadKeyNames(names);
    const std::string original(reinterpret_cast<const char*>(data), size);
    uint64_t seed = 1469598103934665603u;
    for (uint8_t byte : original) seed = (seed ^ byte) * 1099511628211u;
    IniTextStore store(original);
    const std::vector<TextRecord> records = RecordsFor(original, store, names, seed);
    const bool useText = seed >> 63;

    std::string problem;
    const std::optional<ShapeFileUpdate> update = PlanTextRecords(store, names, records, useText, problem);
    if (!update) {
        Require(!problem.empty());
        return 0;
    }
    Require(WriteTextRecords(store, *update));
    Require(KeepsOtherLines(original, store.text(), update->writes));
    for (const IniWrite& write : update->writes) Require(Read(store, write.section, write.key) == write.value);
    for (size_t k = 0; k < records.size(); ++k)
        Require(records[k].value.empty() ? update->recordNumbers[k] == 0
                                         : IsSameRecord(Read(store, names.shapeSection,
                                                             RecordKey(update->recordNumbers[k])),
                                                        records[k].value));
    const int32_t count = ReadFileRecords(store, names).count;
    Require(count <= kMaxShapeNames && count == ReadFileRecords(IniTextStore(original), names).count + update->added);

    // The same records again: all there, nothing changes.
    const std::string once = store.text();
    const std::optional<ShapeFileUpdate> again = PlanTextRecords(store, names, records, useText, problem);
    Require(again && again->added == 0 && again->recordNumbers == update->recordNumbers);
    Require(WriteTextRecords(store, *again) && store.text() == once);
    return 0;
}

// Any existing file: a save keeps every line that is not one of the 53 keys
// byte for byte, and a load gives back every value saved.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ini_blanks.h"
#include "settings/ini_text_store.h"
#include "settings/settings_store.h"

namespace {

std::string_view Trim(std::string_view s) { return TrimIniBlanks(s); }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    a = a.substr(0, a.find('\0'));
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The lines of a text without their endings ("\r\n", '\n' or '\r'), leaving
// out the lines that hold one of the 53 keys inside a settings section.
std::vector<std::string_view> OtherLines(std::string_view text, const ProfileNames& names) {
    std::vector<std::string_view> lines;
    bool inSettings = false;
    for (size_t at = 0; at < text.size();) {
        const size_t ending = std::min(text.find_first_of("\r\n", at), text.size());
        const std::string_view line = text.substr(at, ending - at);
        at = ending + (text.substr(ending, 2) == "\r\n" ? 2 : 1);
        const std::string_view content = Trim(line);
        bool isSettingsKey = false;
        if (!content.empty() && content.front() == '[' && content.rfind(']') != content.npos) {
            inSettings = SameIgnoringCase(Trim(content.substr(1, content.rfind(']') - 1)), names.settingsSection);
        } else if (inSettings) {
            // A line without '=' names a key too, and a save gives it its value.
            const std::string_view key = Trim(content.substr(0, content.find('=')));
            for (const auto& name : names.keyNames) isSettingsKey |= SameIgnoringCase(key, name);
        }
        if (!isSettingsKey) lines.push_back(line);
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ProfileNames names;
    LoadKeyNames(names);
    const std::string original(reinterpret_cast<const char*>(data), size);
    IniTextStore store(original);

    SaverSettings settings{};
    LoadSettings(store, names, settings);
    // Change every value in a way the input decides, the sign bit included.
    for (int i = 0; i < kSettingCount; ++i)
        settings.*kSettingKeys[i].field ^= int32_t(0x9E3779B9u * uint32_t(i + 1 + size));
    SaveSettings(store, names, settings);

    SaverSettings reloaded{};
    LoadSettings(store, names, reloaded);
    for (int i = 0; i < kSettingCount; ++i)
        if (reloaded.*kSettingKeys[i].field != settings.*kSettingKeys[i].field) std::abort();

    // A file in UTF-16 is rewritten in UTF-16; its lines are not bytes to compare.
    if (original.starts_with("\xFF\xFE") || original.starts_with("\xFE\xFF")) return 0;
    // A UTF-8 byte-order mark stays, and it is no part of the first line.
    const std::string_view mark = original.starts_with("\xEF\xBB\xBF") ? "\xEF\xBB\xBF" : "";
    if (!store.text().starts_with(mark)) std::abort();
    const std::vector<std::string_view> before = OtherLines(std::string_view(original).substr(mark.size()), names);
    std::vector<std::string_view> after = OtherLines(std::string_view(store.text()).substr(mark.size()), names);
    // What a save may add besides keys: a section header at the end, after a blank line.
    const std::string header = "[" + std::string(names.settingsSection) + "]";
    if (after.size() > before.size() && after.back() == header) {
        after.pop_back();
        if (after.size() > before.size() && after.back().empty()) after.pop_back();
    }
    if (after.size() != before.size()) std::abort();
    for (size_t i = 0; i < before.size(); ++i)
        if (after[i] != before[i]) std::abort();
    return 0;
}

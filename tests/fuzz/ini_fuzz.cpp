// Any existing file: a save keeps every line that is not one of the 53 keys
// byte for byte, and a load gives back every value saved.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_file.h"
#include "settings/settings_store.h"

namespace {

std::string_view Trim(std::string_view s) {
    const size_t begin = s.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    return s.substr(begin, s.find_last_not_of(" \t") - begin + 1);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The raw lines of a text (without their '\n'), leaving out the lines that
// hold one of the 53 keys inside a settings section.
std::vector<std::string_view> OtherLines(std::string_view text, const ProfileNames& names) {
    std::vector<std::string_view> lines;
    bool inSettings = false;
    for (size_t at = 0; at < text.size();) {
        const size_t newline = text.find('\n', at);
        const std::string_view line = text.substr(at, newline == std::string_view::npos ? text.npos : newline - at);
        at = newline == std::string_view::npos ? text.size() : newline + 1;
        std::string_view content = line;
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        content = Trim(content);
        bool isSettingsKey = false;
        if (!content.empty() && content.front() == '[') {
            const std::string_view inner = content.substr(1);
            inSettings = SameIgnoringCase(Trim(inner.substr(0, inner.find(']'))), names.settingsSection);
        } else if (inSettings && !content.empty() && content.front() != ';' && content.find('=') != content.npos) {
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

    const std::vector<std::string_view> before = OtherLines(original, names);
    std::vector<std::string_view> after = OtherLines(store.text, names);
    // What a save may add besides keys: a section header at the end, after a blank line.
    auto withoutCr = [](std::string_view line) { return line.ends_with('\r') ? line.substr(0, line.size() - 1) : line; };
    const std::string header = "[" + std::string(names.settingsSection) + "]";
    if (after.size() > before.size() && withoutCr(after.back()) == header) {
        after.pop_back();
        if (after.size() > before.size() && withoutCr(after.back()).empty()) after.pop_back();
    }
    if (after.size() != before.size()) std::abort();
    for (size_t i = 0; i < before.size(); ++i) {
        // The last line may have gained the line ending it lacked.
        const bool lastUnended = i + 1 == before.size() && !original.empty() && original.back() != '\n';
        if (after[i] != before[i] && !(lastUnended && after[i].substr(0, before[i].size()) == before[i] &&
                                       after[i].size() == before[i].size() + 1 && after[i].back() == '\r'))
            std::abort();
    }
    return 0;
}

#include "glyphs/text_choice.h"

#include <algorithm>

#include "scene/clock_text.h"

std::optional<std::string> ClockFormatProblem(std::string_view format) {
    if (format.size() > kMaxClockFormatBytes)
        return "a format of at most " + std::to_string(kMaxClockFormatBytes) + " bytes, not " +
               std::to_string(format.size());
    if (!std::all_of(format.begin(), format.end(), [](char c) { return c >= ' ' && c <= '~'; }))
        return std::string("a format of printable ASCII: the saver reads it in the system code page");
    return std::nullopt;
}

std::string CharactersToFit(const TextChoice& choice, const ProfileStore& file, const ProfileNames& names) {
    if (!choice.clockFormat) return choice.text;
    const FileRecords records = ReadFileRecords(file, names);
    std::string needed;
    for (const std::string& character : SplitCharacters(ClockCharacters(*choice.clockFormat)))
        if (!records.names.contains(character)) needed += character;
    return needed.empty() ? " " : needed;
}

std::optional<ShapeFileUpdate> PlanChoice(const ProfileStore& file, const ProfileNames& names,
                                          const std::vector<TextRecord>& records, const TextChoice& choice,
                                          std::string& problem) {
    std::optional<ShapeFileUpdate> update = PlanTextRecords(file, names, records, choice.ShowsText(), problem);
    if (!update) return update;
    if (choice.clockFormat) {
        update->writes.push_back({names.settingsSection, names.clockKey, "1"});
        update->writes.push_back({names.settingsSection, names.clockFormatKey, *choice.clockFormat});
    } else if (choice.ShowsText() && LoadClockSettings(file, names).isOn) {
        update->writes.push_back({names.settingsSection, names.clockKey, "0"});
    }
    return update;
}

WriteOutcome WriteWholeUpdate(ProfileStore& store, const ShapeFileUpdate& update) {
    if (update.writes.empty()) return WriteOutcome::kWritten;
    const KeptFile kept = store.KeepFile();
    for (size_t k = 0; k < update.writes.size(); ++k) {
        const IniWrite& write = update.writes[k];
        if (store.WriteString(write.section.c_str(), write.key.c_str(), write.value.c_str())) continue;
        // A first write that fails has changed nothing (a read-only file).
        if (k == 0 || store.PutBackFile(kept)) return WriteOutcome::kFailedUnchanged;
        return WriteOutcome::kFailedPartly;
    }
    return WriteOutcome::kWritten;
}

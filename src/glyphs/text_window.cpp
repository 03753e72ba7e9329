#include "glyphs/text_window.h"

#include <cmath>

#include "scene/clock_text.h"
#include "settings/ini_text_store.h"
#include "settings/shape_names.h"

bool IsDeviationWarned(double percent) { return percent > kWarnedDeviationPercent; }

TextWindowStart LoadTextWindowStart(const ProfileStore& file, const ProfileNames& names) {
    TextWindowStart start;
    const ClockSettings clock = LoadClockSettings(file, names);
    start.isClockOn = clock.isOn;
    start.clockFormat = clock.format;
    start.monitorMode = LoadMonitorMode(file, names);

    SaverSettings settings;
    LoadSettings(file, names, settings);
    ShapeNameList shapes;
    ListShapeNames(file, names, shapes);
    const int32_t used = settings.OPTIONN;
    if (used < 1 || used > int32_t(kShapeChoiceFields.size())) return start;
    std::string text;
    for (int32_t slot = 0; slot < used; ++slot) {
        const int32_t record = settings.*kShapeChoiceFields[size_t(slot)];
        if (record == 0) {
            text += ' ';
            continue;
        }
        if (record < 0 || record > shapes.count) return start;
        const std::string name = shapes.names[record];
        if (SplitCharacters(name).size() != 1) return start;
        text += name;
    }
    start.text = text;
    return start;
}

EntryCheck CheckEntry(const TextChoice& choice) {
    EntryCheck check;
    if (choice.clockFormat) {
        if (ClockFormatProblem(*choice.clockFormat)) check.problem = EntryProblem::kClockFormat;
        return check;
    }
    const std::optional<std::u32string> characters = DecodeUtf8(choice.text);
    if (!characters) {
        check.problem = EntryProblem::kNotUtf8;
        return check;
    }
    check.characters = characters->size();
    if (characters->find_first_not_of(U" \t") == std::u32string::npos)
        check.problem = EntryProblem::kEmpty;
    else if (check.characters > kShapeChoiceFields.size())
        check.problem = EntryProblem::kTooManyCharacters;
    return check;
}

std::vector<LetterRow> LetterRows(const TextLetters& letters) {
    std::vector<LetterRow> rows;
    for (size_t k = 0; k < letters.characters.size(); ++k) {
        const size_t place = letters.shapeOf[k];
        LetterRow row;
        row.character = EncodeUtf8(letters.characters[k]);
        row.isMissing = !letters.glyphs.glyphs[place].present;
        row.isBlank = !row.isMissing && letters.glyphs.glyphs[place].contours.empty();
        row.deviation = place < letters.fit.glyphs.size() ? DeviationPercent(letters.fit, place) : NAN;
        row.isWarned = !row.isMissing && !row.isBlank && IsDeviationWarned(row.deviation);
        rows.push_back(row);
    }
    return rows;
}

std::optional<ShapeFileUpdate> PlanWindowSave(const ProfileStore& file, const ProfileNames& names,
                                              const TextLetters& letters, const TextChoice& choice, MonitorMode mode,
                                              std::string& problem) {
    if (!letters.missing.empty()) {
        problem = MissingGlyphMessage(letters, letters.missing.front());
        return std::nullopt;
    }
    std::optional<ShapeFileUpdate> update =
        PlanChoice(file, names, LetterRecords(letters, NameBytes::kCodePage), choice, problem);
    if (update && mode != LoadMonitorMode(file, names))
        update->writes.push_back({names.settingsSection, names.monitorKey, std::to_string(int(mode))});
    return update;
}

SaveSummary SummarizeSave(const ShapeFileUpdate& update, const ProfileNames& names) {
    SaveSummary summary;
    summary.added = update.added;
    for (size_t k = 0; k < update.repeat.size(); ++k) {
        summary.repeats += update.repeat[k];
        summary.reused += update.reused[k] && !update.repeat[k];
    }
    for (const IniWrite& write : update.writes) {
        if (write.section != names.settingsSection) continue;
        if (write.key == names.clockKey) (write.value == "1" ? summary.isClockOn : summary.isClockTurnedOff) = true;
        if (write.key == names.monitorKey) summary.isModeWritten = true;
    }
    summary.isUnchanged = update.writes.empty();
    return summary;
}

std::string TextAfterUpdate(std::string fileText, const ShapeFileUpdate& update) {
    IniTextStore store(std::move(fileText));
    WriteTextRecords(store, update);
    return store.text();
}

// korunex text: the letters of a text in an installed font, fitted into
// shape records and added to the settings file.

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "glyphs/text_letters.h"
#include "linux/command_line.h"
#include "linux/saver_store.h"

namespace {

// The new letters drawn by the renderer onto a contact sheet.
int WritePreview(const std::string& text, ProfileNames& names, const ShapeFileUpdate& update, const Options& options) {
    const IniTextStore file(text);
    std::vector<std::pair<std::string, int32_t>> slots;
    const size_t shown = std::min(update.recordNumbers.size(), kShapeChoiceFields.size());
    for (size_t slot = 0; slot < shown; ++slot)
        slots.push_back({SettingKeyName(names, kShapeChoiceFields[slot]), update.recordNumbers[slot]});
    slots.push_back({SettingKeyName(names, &SaverSettings::OPTIONN), int32_t(shown)});
    slots.insert(slots.end(), options.overrides.begin(), options.overrides.end());
    const OverridingStore store(file, slots);
    Options sheet = options;
    sheet.out.reset();
    sheet.sheet = *options.preview;
    if (options.frames == 0) sheet.frames = 48, sheet.every = 4;
    return DrawFrames(store, names, sheet);
}

}  // namespace

int RunTextCommand(const Options& options) {
    const TextLetters letters = LettersInFont(*options.text, options.font.value_or(kDefaultFont), false);
    ProfileNames names;
    LoadKeyNames(names);
    const IniFileStore file = OpenStore(options, names);
    std::error_code error;
    const std::optional<std::string> old = file.ReadText();
    if (!old && std::filesystem::exists(file.path(), error)) {
        std::fprintf(stderr, "korunex: cannot read %s\n", file.path().c_str());
        return 1;
    }

    // The new text is made in memory and replaces the file in one rename.
    IniTextStore text(old.value_or(""));
    std::string problem;
    std::optional<ShapeFileUpdate> update;
    if (letters.missing.empty())
        update = PlanTextRecords(text, names, letters.records, options.switches.useText, problem);
    if (update) WriteTextRecords(text, *update);
    const bool writes = update && text.text() != old.value_or("") && !options.switches.dryRun;
    if (options.switches.json)
        std::fputs(FormatLetterJson(letters, update, file.path().string(), writes).c_str(), stdout);
    else if (options.switches.report)
        std::fputs(FormatLetterReport(letters, update).c_str(), stdout);

    for (char32_t character : letters.missing)
        std::fprintf(stderr, "korunex: %s; try another --font\n", MissingGlyphMessage(letters, character).c_str());
    if (!letters.missing.empty()) return 1;
    if (!update) {
        std::fprintf(stderr, "korunex: %s: %s\n", file.path().c_str(), problem.c_str());
        return 1;
    }
    if (writes) {
        if (const std::optional<std::string> failure = ReplaceFileText(file.path(), text.text())) {
            std::fprintf(stderr, "korunex: %s; the file is unchanged\n", failure->c_str());
            return 1;
        }
    }
    if (!options.switches.json)
        std::fputs(FormatLetterSummary(letters, *update, file.path().string(), options.switches).c_str(), stdout);
    if (options.preview) return WritePreview(text.text(), names, *update, options);
    return 0;
}

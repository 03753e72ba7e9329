// korunex text: the letters of a text in an installed font, fitted into
// shape records and added to the settings file.

#include <algorithm>
#include <cstdio>

#include "glyphs/text_choice.h"
#include "glyphs/text_letters.h"
#include "linux/command_line.h"
#include "linux/saver_store.h"
#include "linux/terminal_text.h"
#include "settings/ini_text_store.h"
#include "settings/settings_file.h"

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

// The records of `letters` planned into a file's text.
struct PlannedFile {
    std::optional<ShapeFileUpdate> update;  // none: refused, for `problem`
    std::string problem;
    std::string text;      // the file's text with the records
    bool changes = false;  // the text differs from the file's
};

// The names come from the file's bytes: a file with a byte-order mark keeps
// only the ASCII of a name, so its other characters go by their code point.
// With a clock format, the records of every character it can show, and the
// clock turned on with that format; a text the slots show turns it off.
PlannedFile PlanInto(std::string_view now, const TextLetters& letters, const ProfileNames& names,
                     const TextChoice& choice) {
    PlannedFile planned;
    IniTextStore text{std::string(now)};
    const std::vector<TextRecord> records = LetterRecords(letters, NameBytesOf(now));
    planned.update = PlanChoice(text, names, records, choice, planned.problem);
    if (planned.update) WriteTextRecords(text, *planned.update);
    planned.text = text.text();
    planned.changes = planned.update && planned.text != now;
    return planned;
}

// The format of --clock, the file's own when none is given; nothing without
// --clock. Throws UsageError for one the saver could not read back.
std::optional<std::string> ClockFormatOf(const Options& options, const ProfileStore& file, const ProfileNames& names) {
    if (!options.clock) return std::nullopt;
    const std::string format = options.clock->empty() ? LoadClockSettings(file, names).format : *options.clock;
    if (const std::optional<std::string> problem = ClockFormatProblem(format)) throw UsageError{"--clock takes " + *problem};
    return format;
}

// The file's text as it is now; empty when it is gone.
std::string ReadFileText(const std::filesystem::path& path) {
    SettingsFileText now = ReadSettingsFile(path);
    if (now.status == SettingsFileText::kRefused) throw FileError{path.string() + " " + now.problem};
    return std::move(now.text);
}

}  // namespace

int RunTextCommand(const Options& options) {
    ProfileNames names;
    LoadKeyNames(names);
    const IniFileStore file = OpenStore(options, names);
    if (options.preview) CheckPictureOutput(*options.preview, file.path());
    const std::optional<std::string> clockFormat = ClockFormatOf(options, file, names);
    const std::string path = file.path().string();
    const std::string before = ReadFileText(file.path());
    const TextChoice choice{options.text.value_or(""), clockFormat, options.switches.useText};
    const std::string text = CharactersToFit(choice, IniTextStore(before), names);
    TextLetters letters = LoadLettersInFont(text, options.font.value_or(kDefaultFont), StoreUse::kTool);

    // What the plan below would surely refuse is refused before the fit, which takes the time.
    if (letters.missing.empty())
        if (const std::optional<std::string> refusal =
                RefuseBeforeFit(letters, choice.ShowsText(), ReadFileRecords(IniTextStore(before), names),
                                NameBytesOf(before))) {
            PrintProblem(path + ": " + *refusal);
            return 1;
        }
    FitLetters(letters);

    // The records are planned under the writers' lock into the file as it is
    // then, so that a writer at the same time loses nothing.
    PlannedFile planned;
    std::optional<std::string> failure;
    if (letters.missing.empty()) {
        auto plan = [&](std::string_view now) -> std::optional<std::string> {
            planned = PlanInto(now, letters, names, choice);
            if (!planned.changes || options.switches.dryRun) return std::nullopt;
            return planned.text;
        };
        if (options.switches.dryRun)
            plan(before);
        else
            failure = UpdateSettingsFile(file.path(), plan);
    }
    const bool written = planned.changes && !options.switches.dryRun && !failure;
    if (options.switches.json)
        std::fputs(FormatLetterJson(letters, planned.update, path, written).c_str(), stdout);
    else if (options.switches.report)
        std::fputs(ForTerminal(FormatLetterReport(letters, planned.update)).c_str(), stdout);

    for (char32_t character : letters.missing)
        PrintProblem(MissingGlyphMessage(letters, character) + "; try another --font");
    if (!letters.missing.empty()) return 1;
    if (failure) {
        PrintProblem(path + " " + *failure + "; the file is unchanged");
        return 1;
    }
    if (!planned.update) {
        PrintProblem(path + ": " + planned.problem);
        return 1;
    }
    if (!options.switches.json) {
        TextSwitches told = options.switches;
        told.useText = choice.ShowsText();  // with the clock, the slots stay as they were
        std::fputs(ForTerminal(FormatLetterSummary(letters, *planned.update, path, told)).c_str(), stdout);
    }
    if (clockFormat && !options.switches.json)
        std::printf("%s the clock with TOKEIFMT=%s\n", options.switches.dryRun ? "would turn on" : "turned on",
                    clockFormat->c_str());
    if (options.preview) return WritePreview(planned.text, names, *planned.update, options);
    return 0;
}

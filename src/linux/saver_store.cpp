#include "linux/saver_store.h"

#include <strings.h>

#include "glyphs/text_letters.h"
#include "linux/terminal_text.h"

TextLetters LoadLettersInFont(std::string_view text, std::string_view font, StoreUse use) {
    std::string problem;
    const std::optional<FontFace> face = FindFont(font, problem);
    if (!face) throw UsageError{problem};
    if (!face->standIn.empty() && use == StoreUse::kTool) PrintProblem(face->standIn);
    std::optional<TextLetters> letters = LoadLetters(text, *face, problem);
    if (!letters) throw UsageError{problem};
    return std::move(*letters);
}

namespace {

// The letters as a shape section of their own, and the slot settings that show them.
std::optional<IniTextStore> LettersStore(const ProfileNames& names, std::optional<std::string_view> text,
                                         std::string_view font, std::vector<std::pair<std::string, int32_t>>& slots,
                                         StoreUse use) {
    if (!text) return std::nullopt;
    TextLetters letters = LoadLettersInFont(*text, font, use);
    if (!letters.missing.empty()) throw UsageError{MissingGlyphMessage(letters, letters.missing[0])};
    // Before the fit, which takes the time: more than the slots, or nothing to see.
    if (const std::optional<std::string> refusal = RefuseBeforeFit(letters, true, FileRecords{}, NameBytes::kCodePage))
        throw UsageError{*refusal};
    FitLetters(letters);
    const std::vector<TextRecord> records = LetterRecords(letters, NameBytes::kCodePage);
    IniTextStore store("");
    std::string problem;
    const std::optional<ShapeFileUpdate> update = PlanTextRecords(store, names, records, true, problem);
    if (!update) throw UsageError{problem};
    WriteTextRecords(store, *update);
    for (size_t slot = 0; slot < records.size(); ++slot)
        slots.push_back({SettingKeyName(names, kShapeChoiceFields[slot]), update->recordNumbers[slot]});
    slots.push_back({SettingKeyName(names, &SaverSettings::OPTIONN), int32_t(records.size())});
    return store;
}

}  // namespace

SaverStore::SaverStore(const ProfileStore& file, const ProfileNames& names, std::optional<std::string_view> text,
                       std::string_view font, const std::vector<std::pair<std::string, int32_t>>& overrides,
                       StoreUse use)
    : SaverStore(file, names, [&] {
          // The text's slot choices go in front of --set, so that --set may still change them.
          Letters letters;
          letters.shapes = LettersStore(names, text, font, letters.settings, use);
          letters.settings.insert(letters.settings.end(), overrides.begin(), overrides.end());
          return letters;
      }()) {}

SaverStore::SaverStore(const ProfileStore& file, const ProfileNames& names, Letters letters)
    : file_(file),
      shapeSection_(names.shapeSection),
      letters_(std::move(letters.shapes)),
      overriding_(file, std::move(letters.settings)) {}

size_t SaverStore::ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                              size_t capacity) const {
    if (letters_ && strcasecmp(section, shapeSection_.c_str()) == 0)
        return letters_->ReadString(section, key, byDefault, buffer, capacity);
    return file_.ReadString(section, key, byDefault, buffer, capacity);
}

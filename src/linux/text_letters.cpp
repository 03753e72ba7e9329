#include "linux/text_letters.h"

#include <strings.h>

#include "glyphs/text_codes.h"
#include "linux/command_line.h"

TextLetters MakeTextLetters(std::string_view utf8Text, std::string_view font) {
    TextLetters letters;
    const std::optional<std::u32string> characters = DecodeUtf8(utf8Text);
    if (!characters) throw UsageError{"the text is not valid UTF-8"};
    if (characters->empty()) throw UsageError{"the text is empty"};
    letters.characters = *characters;

    std::string problem;
    const std::optional<FontFace> face = FindFont(font, problem);
    if (!face) throw UsageError{problem};
    letters.face = *face;
    std::optional<FontGlyphs> glyphs = LoadGlyphs(*face, letters.characters, problem);
    if (!glyphs) throw UsageError{problem};
    letters.glyphs = std::move(*glyphs);
    letters.fit = FitText(letters.glyphs);

    for (size_t k = 0; k < letters.characters.size(); ++k) {
        const char32_t character = letters.characters[k];
        if (!letters.glyphs.glyphs[k].present) letters.missing.push_back(character);
        const FittedGlyph& glyph = letters.fit.glyphs[k];
        letters.records.push_back({glyph.contours.empty() ? "" : FormatShapeRecord(RecordName(character), glyph)});
    }
    return letters;
}

namespace {

// The letters as a shape section of their own, and the slot settings that show them.
std::optional<IniTextStore> LettersStore(const ProfileNames& names, std::optional<std::string_view> text,
                                         std::string_view font, std::vector<std::pair<std::string, int32_t>>& slots) {
    if (!text) return std::nullopt;
    const TextLetters letters = MakeTextLetters(*text, font);
    if (!letters.missing.empty())
        throw UsageError{letters.face.description + " has no glyph for " + EncodeUtf8(letters.missing[0]) + " (" +
                         CodePointName(letters.missing[0]) + ")"};
    std::string problem;
    const std::optional<ShapeFileUpdate> update = AddTextRecords("", names, letters.records, true, problem);
    if (!update) throw UsageError{problem};
    for (size_t slot = 0; slot < letters.records.size(); ++slot)
        slots.push_back({SettingKeyName(names, kShapeChoiceFields[slot]), update->recordNumbers[slot]});
    slots.push_back({SettingKeyName(names, &SaverSettings::OPTIONN), int32_t(letters.records.size())});
    return IniTextStore(update->text);
}

}  // namespace

SaverStore::SaverStore(const ProfileStore& file, const ProfileNames& names, std::optional<std::string_view> text,
                       std::string_view font, const std::vector<std::pair<std::string, int32_t>>& overrides)
    : SaverStore(file, names, [&] {
          // The text's slot choices go in front of --set, so that --set may still change them.
          Letters letters;
          letters.shapes = LettersStore(names, text, font, letters.settings);
          letters.settings.insert(letters.settings.end(), overrides.begin(), overrides.end());
          return letters;
      }()) {}

SaverStore::SaverStore(const ProfileStore& file, const ProfileNames& names, Letters letters)
    : file_(file), shapeSection_(names.shapeSection), letters_(std::move(letters.shapes)),
      overriding_(file, std::move(letters.settings)) {}

size_t SaverStore::ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                              size_t capacity) const {
    if (letters_ && strcasecmp(section, shapeSection_.c_str()) == 0)
        return letters_->ReadString(section, key, byDefault, buffer, capacity);
    return file_.ReadString(section, key, byDefault, buffer, capacity);
}

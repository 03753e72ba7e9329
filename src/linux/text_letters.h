#pragma once
// Letters of any text in any installed font, fitted into shape records, for
// `korunex text` and for the --text option of the saver and the renderer.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "glyphs/font_source.h"
#include "glyphs/shape_file_update.h"
#include "glyphs/text_fit.h"
#include "linux/setting_overrides.h"
#include "settings/ini_file.h"

// The font used when none is asked for.
inline constexpr char kDefaultFont[] = "DejaVu Sans:bold";

struct TextLetters {
    FontFace face;
    std::u32string characters;
    FontGlyphs glyphs;
    FittedText fit;
    std::vector<TextRecord> records;  // per character; an empty value for a blank
    std::vector<char32_t> missing;    // characters the font has no glyph for
};

// Finds the font (a fontconfig pattern or a font file), loads and fits the
// text's glyphs and writes their records. Throws UsageError for text that
// is not UTF-8 or empty, and for a font that cannot be found or read.
TextLetters MakeTextLetters(std::string_view utf8Text, std::string_view font);

// What the saver and the renderer read: the file, or with --text the text's
// letters in place of its shape records and the slot settings that show
// them, then the settings of --set in front (the last of a key wins). The
// file itself is never written.
class SaverStore final : public ProfileStore {
public:
    // Throws UsageError as MakeTextLetters does, and for a character the font lacks.
    SaverStore(const ProfileStore& file, const ProfileNames& names, std::optional<std::string_view> text,
               std::string_view font, const std::vector<std::pair<std::string, int32_t>>& overrides);

    int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override {
        return overriding_.ReadInt(section, key, byDefault);
    }
    size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                      size_t capacity) const override;
    bool WriteString(const char*, const char*, const char*) override { return false; }  // never saved

private:
    struct Letters {
        std::optional<IniTextStore> shapes;  // the shape section of the text's letters
        std::vector<std::pair<std::string, int32_t>> settings;  // the slots that show them, then --set
    };
    SaverStore(const ProfileStore& file, const ProfileNames& names, Letters letters);

    const ProfileStore& file_;
    std::string shapeSection_;
    std::optional<IniTextStore> letters_;
    OverridingStore overriding_;
};

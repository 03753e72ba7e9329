#pragma once
// What the saver, the scene dump and the renderer read.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "linux/command_line.h"
#include "linux/setting_overrides.h"
#include "settings/ini_text_store.h"
#include "settings/settings_store.h"

// The font used when none is asked for.
inline constexpr char kDefaultFont[] = "DejaVu Sans:bold";

// The file; with --text, the text's letters (built in memory for this run)
// in place of its shape records and the slot settings that show them; then
// the settings of --set in front (the last of a key wins). Never written.
class SaverStore final : public ProfileStore {
public:
    // Throws UsageError for a text, a font or a glyph that is not there.
    // `use`: whether a font standing in for the family asked is told (a tool) or not (the saver).
    SaverStore(const ProfileStore& file, const ProfileNames& names, std::optional<std::string_view> text,
               std::string_view font, const std::vector<std::pair<std::string, int32_t>>& overrides,
               StoreUse use = StoreUse::kTool);

    int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override {
        return overriding_.ReadInt(section, key, byDefault);
    }
    size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                      size_t capacity) const override;
    bool WriteString(const char*, const char*, const char*) override { return false; }

private:
    struct Letters {
        std::optional<IniTextStore> shapes;                     // the shape section of the text's letters
        std::vector<std::pair<std::string, int32_t>> settings;  // the slots that show them, then --set
    };
    SaverStore(const ProfileStore& file, const ProfileNames& names, Letters letters);

    const ProfileStore& file_;
    std::string shapeSection_;
    std::optional<IniTextStore> letters_;
    OverridingStore overriding_;
};

// The letters of `text` in the font a fontconfig pattern or font file
// names, loaded and not yet fitted (FitLetters); throws UsageError when the
// text or the font is not there. For a tool, a font that stands in for a
// family that is not installed is told on standard error; the saver is silent.
TextLetters LoadLettersInFont(std::string_view text, std::string_view font, StoreUse use);

// korunex text: the letters of a text in an installed font, fitted into
// shape records and added to the settings file.

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "glyphs/text_codes.h"
#include "linux/command_line.h"
#include "linux/json_writer.h"
#include "linux/text_letters.h"
#include "scene/shape_library.h"

namespace {

struct GlyphLine {
    std::string character;  // UTF-8
    std::string name;       // the record's name as the file holds it (system code page)
    int32_t record;         // 0: none (a blank, or a character the font lacks)
    bool reused, missing;
    int points, contours, dropped;
    double deviation;  // percent of the em
};

std::vector<GlyphLine> Lines(const TextLetters& letters, const std::optional<ShapeFileUpdate>& update) {
    std::vector<GlyphLine> lines;
    for (size_t k = 0; k < letters.characters.size(); ++k) {
        const FittedGlyph& glyph = letters.fit.glyphs[k];
        GlyphLine line{EncodeUtf8(letters.characters[k]), RecordName(letters.characters[k]), 0, false,
                       !letters.glyphs.glyphs[k].present, 0, int(glyph.contours.size()), glyph.droppedContours,
                       DeviationPercent(letters.fit, k)};
        for (const auto& contour : glyph.contours) line.points += int(contour.size());
        if (update) line.record = update->recordNumbers[k], line.reused = update->reused[k];
        lines.push_back(line);
    }
    return lines;
}

void PrintReport(const std::vector<GlyphLine>& lines) {
    std::printf("char  code     record  points  contours  dropped  deviation\n");
    for (const GlyphLine& line : lines) {
        std::printf("%-4s  %-7s  ", line.character.c_str(), CodePointName(*DecodeUtf8(line.character)->begin()).c_str());
        if (line.missing) {
            std::printf("not in the font\n");
        } else if (line.points == 0) {
            std::printf("blank: an empty slot\n");
        } else {
            std::printf("%6s  %6d  %8d  %7d  %7.2f %%%s\n", line.record ? std::to_string(line.record).c_str() : "-",
                        line.points, line.contours, line.dropped, line.deviation, line.reused ? "  (already there)" : "");
        }
    }
}

void PrintJson(const TextLetters& letters, const std::vector<GlyphLine>& lines, const std::filesystem::path& file,
               bool written) {
    JsonWriter json;
    json.Open('{').Key("font").String(letters.face.description).Key("fontFile").String(letters.face.file);
    json.Key("file").String(file.string()).Key("written").Bool(written).Key("characters").Open('[');
    for (const GlyphLine& line : lines) {
        json.Open('{').Key("character").String(line.character).Key("codePoint").Int(*DecodeUtf8(line.character)->begin());
        json.Key("inFont").Bool(!line.missing).Key("record").Int(line.record).Key("reused").Bool(line.reused);
        json.Key("points").Int(line.points).Key("contours").Int(line.contours).Key("dropped").Int(line.dropped);
        json.Key("deviationPercentOfEm").Real(line.deviation).Close('}');
    }
    json.Close(']').Close('}').Newline();
    std::fputs(json.text().c_str(), stdout);
}

// The new letters drawn by the renderer onto a contact sheet.
int WritePreview(const std::string& text, ProfileNames& names, const ShapeFileUpdate& update,
                 const Options& options) {
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
    const TextLetters letters = MakeTextLetters(*options.text, options.font.value_or(kDefaultFont));
    ProfileNames names;
    LoadKeyNames(names);
    const IniFileStore file = OpenStore(options, names);
    std::error_code error;
    const std::optional<std::string> old = file.ReadText();
    if (!old && std::filesystem::exists(file.path(), error)) {
        std::fprintf(stderr, "korunex: cannot read %s\n", file.path().c_str());
        return 1;
    }

    std::string problem;
    std::optional<ShapeFileUpdate> update;
    if (letters.missing.empty()) update = AddTextRecords(old.value_or(""), names, letters.records, options.useText, problem);
    const bool changes = update && update->text != old.value_or("");
    const bool writes = changes && !options.dryRun;
    const std::vector<GlyphLine> lines = Lines(letters, update);
    if (options.json) PrintJson(letters, lines, file.path(), writes);
    else if (options.report) PrintReport(lines);

    for (char32_t character : letters.missing)
        std::fprintf(stderr, "korunex: %s has no glyph for %s (%s); try another --font\n",
                     letters.face.description.c_str(), EncodeUtf8(character).c_str(), CodePointName(character).c_str());
    if (!letters.missing.empty()) return 1;
    if (!update) {
        std::fprintf(stderr, "korunex: %s: %s\n", file.path().c_str(), problem.c_str());
        return 1;
    }
    if (writes) {
        if (const std::optional<std::string> failure = ReplaceFileText(file.path(), update->text)) {
            std::fprintf(stderr, "korunex: %s; the file is unchanged\n", failure->c_str());
            return 1;
        }
    }
    if (!options.json) {
        const int reused = int(std::count(update->reused.begin(), update->reused.end(), true));
        std::printf("%s%s: %d new records from %s, %d already there%s\n", options.dryRun ? "dry run, nothing written: " : "",
                    file.path().c_str(), update->added, letters.face.description.c_str(), reused,
                    options.useText ? "; the saver shows the text" : "");
    }
    if (options.preview) return WritePreview(update->text, names, *update, options);
    return 0;
}

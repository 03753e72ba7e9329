#include "glyphs/text_letters.h"

#include <cassert>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "settings/saver_settings.h"
#include "settings/shape_names.h"

namespace {

// A glyph that gives a record: a blank has no outline, a missing glyph none at all.
bool HasOutline(const GlyphOutline& glyph) { return glyph.present && !glyph.contours.empty(); }

}  // namespace

std::optional<TextLetters> LoadLetters(std::string_view utf8Text, const FontFace& face, std::string& problem) {
    const std::optional<std::u32string> characters = DecodeUtf8(utf8Text);
    if (!characters) {
        problem = "the text is not valid UTF-8";
        return std::nullopt;
    }
    if (characters->empty()) {
        problem = "the text is empty";
        return std::nullopt;
    }
    TextLetters letters;
    letters.face = face;
    letters.characters = *characters;
    std::unordered_map<char32_t, size_t> places;
    for (char32_t character : letters.characters) {
        const auto [place, isFirst] = places.emplace(character, letters.distinct.size());
        if (isFirst) letters.distinct += character;
        letters.shapeOf.push_back(place->second);
    }
    std::optional<FontGlyphs> glyphs = LoadGlyphs(face, letters.distinct, problem);
    if (!glyphs) return std::nullopt;
    letters.glyphs = std::move(*glyphs);
    for (const GlyphOutline& glyph : letters.glyphs.glyphs)
        if (!glyph.present) letters.missing.push_back(glyph.character);
    return letters;
}

// The distinct characters span the same extents as the whole text, so the
// scale and every glyph's fit are what the whole text would give.
void FitLetters(TextLetters& letters) { letters.fit = FitText(letters.glyphs); }

std::optional<std::string> RefuseBeforeFit(const TextLetters& letters, bool useText, const FileRecords& file,
                                           NameBytes bytes) {
    if (useText && letters.characters.size() > kShapeChoiceFields.size())
        return TooManySlotsMessage(letters.characters.size());
    int32_t visible = 0, surelyNew = 0;
    for (size_t d = 0; d < letters.distinct.size(); ++d) {
        if (!HasOutline(letters.glyphs.glyphs[d])) continue;
        ++visible;
        surelyNew += !file.names.contains(RecordName(letters.distinct[d], bytes));
    }
    if (useText && visible == 0) return std::string("the text has no visible character; the saver would show nothing");
    if (surelyNew > 0 && file.count + surelyNew > kMaxShapeNames)
        return TooManyRecordsMessage(file.count + surelyNew, file.count, surelyNew < visible);
    return std::nullopt;
}

std::vector<TextRecord> LetterRecords(const TextLetters& letters, NameBytes bytes) {
    assert(letters.fit.glyphs.size() == letters.distinct.size());
    std::vector<std::string> values;  // per distinct character
    for (size_t d = 0; d < letters.distinct.size(); ++d) {
        const FittedGlyph& glyph = letters.fit.glyphs[d];
        values.push_back(glyph.contours.empty() ? "" : FormatShapeRecord(RecordName(letters.distinct[d], bytes), glyph));
    }
    std::vector<TextRecord> records;
    for (size_t place : letters.shapeOf) records.push_back({values[place]});
    return records;
}

bool ReadTextSwitch(std::string_view arg, TextSwitches& switches) {
    bool* const flag = arg == "--use"       ? &switches.useText
                       : arg == "--report"  ? &switches.report
                       : arg == "--json"    ? &switches.json
                       : arg == "--dry-run" ? &switches.dryRun
                                            : nullptr;
    if (flag) *flag = true;
    return flag != nullptr;
}

std::string MissingGlyphMessage(const TextLetters& letters, char32_t character) {
    return letters.face.description + " has no glyph for " + EncodeUtf8(character) + " (" + CodePointName(character) +
           ")";
}

namespace {

struct LetterLine {
    int32_t record = 0;  // 0: none
    bool reused = false, repeat = false, missing = false;
    int points = 0, contours = 0, dropped = 0;
    double deviation = 0;  // percent of the em
};

LetterLine Line(const TextLetters& letters, const std::optional<ShapeFileUpdate>& update, size_t k) {
    const size_t place = letters.shapeOf[k];
    const FittedGlyph& glyph = letters.fit.glyphs[place];
    LetterLine line;
    line.missing = !letters.glyphs.glyphs[place].present;
    line.contours = int(glyph.contours.size());
    line.dropped = glyph.droppedContours;
    line.deviation = DeviationPercent(letters.fit, place);
    for (const auto& contour : glyph.contours) line.points += int(contour.size());
    if (update) line.record = update->recordNumbers[k], line.reused = update->reused[k], line.repeat = update->repeat[k];
    return line;
}

// A deviation with two decimals (four in JSON); `none` when nothing was fitted.
std::string Percent(double value, const char* none) {
    if (!std::isfinite(value)) return none;
    char text[32];
    std::snprintf(text, sizeof text, none[0] == 'n' ? "%.4f" : "%.2f", value);
    return text;
}

// "1 new record", "2 new records".
std::string Count(int count, const char* what) {
    return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

}  // namespace

std::string FormatLetterSummary(const TextLetters& letters, const ShapeFileUpdate& update, std::string_view file,
                                const TextSwitches& switches) {
    int reused = 0, repeats = 0;
    for (size_t k = 0; k < update.repeat.size(); ++k) {
        repeats += update.repeat[k];
        reused += update.reused[k] && !update.repeat[k];
    }
    return std::string(switches.dryRun ? "dry run, nothing written: " : "") + std::string(file) + ": " +
           Count(update.added, "new record") + " from " + letters.face.description + ", " + std::to_string(reused) +
           " already there" + (repeats > 0 ? ", " + Count(repeats, "repeat") : "") +
           (switches.useText ? "; the saver shows the text" : "") + "\n";
}

std::string FormatLetterReport(const TextLetters& letters, const std::optional<ShapeFileUpdate>& update) {
    std::string report = "char  code     record  points  contours  dropped  deviation\n";
    for (size_t k = 0; k < letters.characters.size(); ++k) {
        const LetterLine line = Line(letters, update, k);
        char row[160];
        std::snprintf(row, sizeof row, "%-4s  %-7s  ", EncodeUtf8(letters.characters[k]).c_str(),
                      CodePointName(letters.characters[k]).c_str());
        report += row;
        if (line.missing) {
            report += "not in the font\n";
        } else if (line.points == 0) {
            report += "blank: an empty slot\n";
        } else {
            std::snprintf(row, sizeof row, "%6s  %6d  %8d  %7d  %7s %%%s\n",
                          line.record ? std::to_string(line.record).c_str() : "-", line.points, line.contours,
                          line.dropped, Percent(line.deviation, "-").c_str(),
                          line.repeat ? "  (repeat)" : line.reused ? "  (already there)" : "");
            report += row;
        }
    }
    return report;
}

// A repeat carries "repeat":true; the other characters leave it out.
std::string FormatLetterJson(const TextLetters& letters, const std::optional<ShapeFileUpdate>& update,
                             std::string_view file, bool written) {
    std::string json = "{\"font\":" + QuoteJson(letters.face.description) +
                       ",\"fontFile\":" + QuoteJson(letters.face.file) + ",\"file\":" + QuoteJson(file) +
                       ",\"written\":" + (written ? "true" : "false") + ",\"characters\":[";
    for (size_t k = 0; k < letters.characters.size(); ++k) {
        const LetterLine line = Line(letters, update, k);
        char fields[320];
        std::snprintf(fields, sizeof fields,
                      "%s{\"character\":%s,\"codePoint\":%u,\"inFont\":%s,\"record\":%d,\"reused\":%s,%s"
                      "\"points\":%d,\"contours\":%d,\"dropped\":%d,\"deviationPercentOfEm\":%s}",
                      k ? "," : "", QuoteJson(EncodeUtf8(letters.characters[k])).c_str(),
                      unsigned(letters.characters[k]), line.missing ? "false" : "true", line.record,
                      line.reused ? "true" : "false", line.repeat ? "\"repeat\":true," : "", line.points,
                      line.contours, line.dropped, Percent(line.deviation, "null").c_str());
        json += fields;
    }
    return json + "]}\n";
}

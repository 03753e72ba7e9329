#include "glyphs/text_letters.h"

#include <cmath>
#include <cstdio>

#include "glyphs/text_codes.h"

std::optional<TextLetters> MakeTextLetters(std::string_view utf8Text, const FontFace& face, std::string& problem) {
    TextLetters letters;
    const std::optional<std::u32string> characters = DecodeUtf8(utf8Text);
    if (!characters) {
        problem = "the text is not valid UTF-8";
        return std::nullopt;
    }
    if (characters->empty()) {
        problem = "the text is empty";
        return std::nullopt;
    }
    letters.characters = *characters;
    letters.face = face;
    std::optional<FontGlyphs> glyphs = LoadGlyphs(face, letters.characters, problem);
    if (!glyphs) return std::nullopt;
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
    bool reused = false, missing = false;
    int points = 0, contours = 0, dropped = 0;
    double deviation = 0;  // percent of the em
};

LetterLine Line(const TextLetters& letters, const std::optional<ShapeFileUpdate>& update, size_t k) {
    const FittedGlyph& glyph = letters.fit.glyphs[k];
    LetterLine line;
    line.missing = !letters.glyphs.glyphs[k].present;
    line.contours = int(glyph.contours.size());
    line.dropped = glyph.droppedContours;
    line.deviation = DeviationPercent(letters.fit, k);
    for (const auto& contour : glyph.contours) line.points += int(contour.size());
    if (update) line.record = update->recordNumbers[k], line.reused = update->reused[k];
    return line;
}

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

// A deviation with two decimals (four in JSON); `none` when nothing was fitted.
std::string Percent(double value, const char* none) {
    if (!std::isfinite(value)) return none;
    char text[32];
    std::snprintf(text, sizeof text, none[0] == 'n' ? "%.4f" : "%.2f", value);
    return text;
}

}  // namespace

std::string FormatLetterSummary(const TextLetters& letters, const ShapeFileUpdate& update, std::string_view file,
                                const TextSwitches& switches) {
    int reused = 0;
    for (bool r : update.reused) reused += r;
    return std::string(switches.dryRun ? "dry run, nothing written: " : "") + std::string(file) + ": " +
           std::to_string(update.added) + " new records from " + letters.face.description + ", " +
           std::to_string(reused) + " already there" + (switches.useText ? "; the saver shows the text" : "") + "\n";
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
                          line.dropped, Percent(line.deviation, "-").c_str(), line.reused ? "  (already there)" : "");
            report += row;
        }
    }
    return report;
}

std::string FormatLetterJson(const TextLetters& letters, const std::optional<ShapeFileUpdate>& update,
                             std::string_view file, bool written) {
    std::string json = "{\"font\":" + Quoted(letters.face.description) + ",\"fontFile\":" + Quoted(letters.face.file) +
                       ",\"file\":" + Quoted(file) + ",\"written\":" + (written ? "true" : "false") +
                       ",\"characters\":[";
    for (size_t k = 0; k < letters.characters.size(); ++k) {
        const LetterLine line = Line(letters, update, k);
        char fields[320];
        std::snprintf(fields, sizeof fields,
                      "%s{\"character\":%s,\"codePoint\":%u,\"inFont\":%s,\"record\":%d,\"reused\":%s,"
                      "\"points\":%d,\"contours\":%d,\"dropped\":%d,\"deviationPercentOfEm\":%s}",
                      k ? "," : "", Quoted(EncodeUtf8(letters.characters[k])).c_str(), unsigned(letters.characters[k]),
                      line.missing ? "false" : "true", line.record, line.reused ? "true" : "false", line.points,
                      line.contours, line.dropped, Percent(line.deviation, "null").c_str());
        json += fields;
    }
    return json + "]}\n";
}

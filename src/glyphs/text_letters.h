#pragma once
// The letters of a text in one font, fitted into shape records: what the
// tools write into a shape file and what the saver's --text shows.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "glyphs/font_source.h"
#include "glyphs/shape_file_update.h"
#include "glyphs/text_fit.h"

struct TextLetters {
    FontFace face;
    std::u32string characters;
    FontGlyphs glyphs;
    FittedText fit;
    std::vector<TextRecord> records;  // per character; an empty value for a blank or a missing glyph
    std::vector<char32_t> missing;    // characters the font has no glyph for
};

// The switches both text tools take: --use, --report, --json, --dry-run.
struct TextSwitches {
    bool useText = false;  // the saver shows the text
    bool report = false, json = false;
    bool dryRun = false;  // nothing is written
};

// True when `arg` is one of the switches, which it then sets.
bool ReadTextSwitch(std::string_view arg, TextSwitches& switches);

// Loads and fits the glyphs of `utf8Text` in `face`. Nothing, and the reason
// in `problem`, for text that is not UTF-8 or empty and for an unreadable font.
std::optional<TextLetters> MakeTextLetters(std::string_view utf8Text, const FontFace& face, std::string& problem);

// "DejaVu Sans Bold has no glyph for あ (U+3042)".
std::string MissingGlyphMessage(const TextLetters& letters, char32_t character);

// The closing line: where the records went and how many were new.
std::string FormatLetterSummary(const TextLetters& letters, const ShapeFileUpdate& update, std::string_view file,
                                const TextSwitches& switches);

// The per-character report: record, points, contours kept and dropped, the
// worst deviation in percent of the em. `update` gives the record numbers.
std::string FormatLetterReport(const TextLetters& letters, const std::optional<ShapeFileUpdate>& update);

// The same as one line of JSON, with the font, the file and whether it was written.
std::string FormatLetterJson(const TextLetters& letters, const std::optional<ShapeFileUpdate>& update,
                             std::string_view file, bool written);

#pragma once
// The letters of a text in one font, fitted into shape records: what the
// tools write into a shape file and what the saver's --text shows. Each
// distinct character is loaded and fitted once, however often it comes.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "glyphs/font_source.h"
#include "glyphs/shape_file_update.h"
#include "glyphs/text_codes.h"
#include "glyphs/text_fit.h"

struct TextLetters {
    FontFace face;
    std::u32string characters;      // the text
    std::u32string distinct;        // each character of the text once, in the order they first come
    std::vector<size_t> shapeOf;    // per character of the text: its place in `distinct`
    FontGlyphs glyphs;              // per distinct character
    FittedText fit;                 // per distinct character; empty until FitLetters
    std::vector<char32_t> missing;  // distinct characters the font has no glyph for
};

// The switches both text tools take: --use, --report, --json, --dry-run.
struct TextSwitches {
    bool useText = false;  // the saver shows the text
    bool report = false, json = false;
    bool dryRun = false;  // nothing is written
};

// True when `arg` is one of the switches, which it then sets.
bool ReadTextSwitch(std::string_view arg, TextSwitches& switches);

// Loads the glyphs of `utf8Text` in `face`, not yet fitted. Nothing, and
// the reason in `problem`, for text that is not UTF-8 or empty and for an
// unreadable font.
std::optional<TextLetters> LoadLetters(std::string_view utf8Text, const FontFace& face, std::string& problem);

// Fits the loaded glyphs, one scale for the whole text: the part that takes time.
void FitLetters(TextLetters& letters);

// What refuses a loaded text before its fit, as the plan would refuse it
// after: with `useText`, more characters than the slots or none visible;
// more characters that surely need a new record (visible, and named as no
// record of `file` begins) than the file has room for. Nothing when the
// text may go on.
std::optional<std::string> RefuseBeforeFit(const TextLetters& letters, bool useText, const FileRecords& file,
                                           NameBytes bytes);

// Per character of the text, its record value with names a file of `bytes`
// keeps; empty for a blank or a missing glyph. After FitLetters.
std::vector<TextRecord> LetterRecords(const TextLetters& letters, NameBytes bytes);

// "DejaVu Sans Bold has no glyph for あ (U+3042)".
std::string MissingGlyphMessage(const TextLetters& letters, char32_t character);

// The closing line: where the records went, how many were new, already
// there, and repeats of a character before.
std::string FormatLetterSummary(const TextLetters& letters, const ShapeFileUpdate& update, std::string_view file,
                                const TextSwitches& switches);

// The per-character report: record, points, contours kept and dropped, the
// worst deviation in percent of the em. `update` gives the record numbers.
std::string FormatLetterReport(const TextLetters& letters, const std::optional<ShapeFileUpdate>& update);

// The same as one line of JSON, with the font, the file and whether it was written.
std::string FormatLetterJson(const TextLetters& letters, const std::optional<ShapeFileUpdate>& update,
                             std::string_view file, bool written);

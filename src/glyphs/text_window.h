#pragma once
// The decisions of korunex-text's window, apart from the window: where it
// starts from, what an entry may be, what Save writes and what it tells.
// Texts the user reads are chosen by the window from its string table;
// these functions give the facts they need.

#include <optional>
#include <string>
#include <vector>

#include "glyphs/text_choice.h"
#include "glyphs/text_letters.h"
#include "settings/profile_store.h"
#include "settings/settings_store.h"

// A letter whose outline the fit left further from the font's than this, in
// percent of the em, is shown in the warning colour.
inline constexpr double kWarnedDeviationPercent = 2.0;

// True for a deviation (percent of the em) over the threshold; a glyph
// without a fit (NaN) is not warned of.
bool IsDeviationWarned(double percent);

// What the file shows now, as the window opens with it.
struct TextWindowStart {
    std::string text;         // the slots' record names in slot order, in the system code page
    bool isClockOn = false;   // TOKEI
    std::string clockFormat;  // TOKEIFMT, the default when missing
    MonitorMode monitorMode = MonitorMode::kWhole;
};

// The slots No.1..OPTIONN as one text when each record's name is a single
// character as the slots count them (a blank slot is a space); an empty
// text when a name is longer or a slot names no record.
TextWindowStart LoadTextWindowStart(const ProfileStore& file, const ProfileNames& names);

enum class EntryProblem {
    kNone,
    kEmpty,               // no character, or no visible one, to show
    kTooManyCharacters,   // more than the 9 slots
    kNotUtf8,             // the window passed text it could not convert
    kClockFormat,         // ClockFormatProblem refuses the format
};

// What refuses an entry before anything is loaded; `characters` is its
// count as the slots count them (one per code point: each is one record).
struct EntryCheck {
    EntryProblem problem = EntryProblem::kNone;
    size_t characters = 0;
};
EntryCheck CheckEntry(const TextChoice& choice);

// Per character of the fitted text: what the window lists.
struct LetterRow {
    std::string character;  // UTF-8
    bool isMissing = false, isBlank = false;
    double deviation = 0;   // percent of the em; NaN without a fit
    bool isWarned = false;
};
std::vector<LetterRow> LetterRows(const TextLetters& letters);

// What Save writes into `file` for fitted `letters` (after FitLetters): the
// records and switches as PlanChoice plans them, then GAMEN when `mode`
// differs from what the file says. Nothing, and the reason, for a letter the
// font lacks or what PlanChoice refuses.
std::optional<ShapeFileUpdate> PlanWindowSave(const ProfileStore& file, const ProfileNames& names,
                                              const TextLetters& letters, const TextChoice& choice, MonitorMode mode,
                                              std::string& problem);

// What the window tells after a save.
struct SaveSummary {
    int added = 0;        // new records
    int reused = 0;       // characters whose equal record was there already
    int repeats = 0;      // characters that repeat one before them
    bool isClockOn = false;
    bool isClockTurnedOff = false;
    bool isModeWritten = false;
    bool isUnchanged = false;  // nothing was written: the file held it all
};
SaveSummary SummarizeSave(const ShapeFileUpdate& update, const ProfileNames& names);

// The ini text after `update`: what the preview draws from.
std::string TextAfterUpdate(std::string fileText, const ShapeFileUpdate& update);

#pragma once
// What the text tools write for what the saver is to show: the letters of a
// text in its slots, or the clock with a format and the records of every
// character the clock can show.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "glyphs/shape_file_update.h"
#include "settings/profile_store.h"
#include "settings/settings_store.h"

struct TextChoice {
    std::string text;                        // UTF-8: the letters, without a clock
    std::optional<std::string> clockFormat;  // the clock with this format, in place of the text
    bool useText = false;                    // the slots show the text (ignored with the clock)

    // The slots show the text: the clock, when on, shows the time in them.
    bool ShowsText() const { return useText && !clockFormat; }
};

// What the clock takes that `format` is not, so that the saver reads it back
// as TOKEIFMT ("a format of at most 63 bytes, not 64"; printable ASCII, since
// it reads it in the system code page); nothing when sound.
std::optional<std::string> ClockFormatProblem(std::string_view format);

// The characters to fit for `choice`: its text, or those the clock can show
// that no record of `file` is named by (the saver shows the first record of
// a name, so a second would never be seen); a blank, which makes no record,
// when there are none.
std::string CharactersToFit(const TextChoice& choice, const ProfileStore& file, const ProfileNames& names);

// The records planned as PlanTextRecords plans them, then the switches: the
// clock on with its format; or, for a text the slots show, the clock off
// when `file` has it on, since the saver would show the time in its place.
std::optional<ShapeFileUpdate> PlanChoice(const ProfileStore& file, const ProfileNames& names,
                                          const std::vector<TextRecord>& records, const TextChoice& choice,
                                          std::string& problem);

enum class WriteOutcome {
    kWritten,
    kFailedUnchanged,  // a write failed and the file is as it was
    kFailedPartly,     // a write failed and the file could not be put back
};

// Makes every planned write or, when one fails, puts the file back as it
// stood before the first, so that no half of a text is ever left in it.
WriteOutcome WriteWholeUpdate(ProfileStore& store, const ShapeFileUpdate& update);

#pragma once
// New shape records for a text, added to a shape file without disturbing
// anything already there.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "settings/settings_store.h"

// One character's record value (its name first); empty for a blank
// character, which has no record and shows as an empty slot.
struct TextRecord {
    std::string value;
};

struct IniWrite {
    std::string section, key, value;
};

struct ShapeFileUpdate {
    std::vector<int32_t> recordNumbers;  // per character: its record, 0 for a blank
    std::vector<bool> reused;            // per character: an equal record was in the file already
    std::vector<bool> repeat;            // per character: an equal record came earlier in the text
    int added = 0;                       // new records
    std::vector<IniWrite> writes;        // in order; none when nothing changes
};

// The records a file holds now: how many, and how each value begins up to
// its first comma (trimmed). A new record whose name is not among these
// beginnings equals none of them.
struct FileRecords {
    int32_t count = 0;
    std::set<std::string, std::less<>> names;
};

FileRecords ReadFileRecords(const ProfileStore& store, const ProfileNames& names);

// "the file would hold 100 shape records, and the dialog lists only 99; it
// has 98 now"; `atLeast` when `wouldHold` is only the least it would hold.
std::string TooManyRecordsMessage(int32_t wouldHold, int32_t now, bool atLeast);

// "the saver shows at most 9 characters, not 10".
std::string TooManySlotsMessage(size_t characters);

// Plans the records after the file's last one with the end marker moved
// behind them; no existing record changes, moves or goes, and a record
// equal to one in the file (or earlier in the text) is reused. With
// `useText`, the slot settings (OPTIONA1.. and OPTIONN) show the text, at
// most 9 characters. On a refusal, nothing and the reason in `problem`.
std::optional<ShapeFileUpdate> PlanTextRecords(const ProfileStore& store, const ProfileNames& names,
                                               const std::vector<TextRecord>& records, bool useText,
                                               std::string& problem);

// Makes the planned writes; false when one failed.
bool WriteTextRecords(ProfileStore& store, const ShapeFileUpdate& update);

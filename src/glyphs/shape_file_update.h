#pragma once
// New shape records for a text, added to a shape file without disturbing
// anything already there.

#include <cstdint>
#include <optional>
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
    std::vector<bool> reused;            // per character: an equal record was there already
    int added = 0;                       // new records
    std::vector<IniWrite> writes;        // in order; none when nothing changes
};

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

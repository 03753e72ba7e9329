#pragma once
// The names of the shape records, as the dialog's slot lists offer them.

#include <cstdint>

#include "settings/profile_store.h"
#include "settings/record_tokens.h"
#include "settings/settings_store.h"

inline constexpr int kMaxShapeNames = 99;

// Names of records 1..count, each in a 10-byte slot; names[0] is unused.
struct ShapeNameList {
    int32_t count;
    char names[kMaxShapeNames + 1][kNameBytes];
};

// The names of the records in record order, from record 1 up to the first
// missing key or end marker, at most 99.
void ListShapeNames(const ProfileStore& store, const ProfileNames& names, ShapeNameList& list);

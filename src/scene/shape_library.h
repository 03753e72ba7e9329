#pragma once
// The shape section seen as numbered records: key "ZAHYO" + number, from 1
// up to the first missing key or end marker.

#include <string>

#include "scene/logo_scene.h"
#include "settings/settings_store.h"

// Names of records 1..count, each in a 10-byte slot; names[0] is unused.
struct ShapeNameList {
    int32_t count;
    char names[kMaxShapeNames + 1][kNameBytes];
};

// The key of record `number` ("%u" of the number, so never with a sign).
std::string RecordKey(int32_t number);

// The names of the records in record order, at most 99.
void ListShapeNames(const ProfileStore& store, const ProfileNames& names, ShapeNameList& list);

// Loads the shape that each slot in use (1..OPTIONN) chooses into the slot;
// an absent or broken record gives the slot an empty shape.
void LoadSlotShapes(const ProfileStore& store, const ProfileNames& names, const SaverSettings& settings,
                    LogoScene& scene);

#pragma once
// The one settings record and its 53 ini keys.

#include <array>
#include <cstdint>

// Every user setting, one 32-bit field per ini key, in load and save order.
// Values are taken as read from the file; see KeepWithinSaverLimits.
struct SaverSettings {
    // Per slot No.1..No.9 (slot k in the fields ending in k):
    int32_t OPTIONA1, OPTIONA2, OPTIONA3, OPTIONA4, OPTIONA5, OPTIONA6, OPTIONA7, OPTIONA8,
        OPTIONA9;  // the shape record shown, numbered from 1; 0 = blank slot
    int32_t OPTIONC1, OPTIONC2, OPTIONC3, OPTIONC4, OPTIONC5, OPTIONC6, OPTIONC7, OPTIONC8,
        OPTIONC9;     // colour code 1..7, used while COLORS is 1
    int32_t OPTIONN;  // slots in use, 1..9: slots 1..OPTIONN are the non-blank ones
    int32_t ZKAITEN1, ZKAITEN2, ZKAITEN3, ZKAITEN4, ZKAITEN5, ZKAITEN6, ZKAITEN7, ZKAITEN8,
        ZKAITEN9;     // 1 = the slot spins in its own plane too
    int32_t OPTIONP;  // 1 = turn in the centre, 2 = move about and turn
    int32_t STEPRAG;  // degrees per tick the whole logo turns, 0..30
    int32_t STEPRAG1, STEPRAG2, STEPRAG3, STEPRAG4, STEPRAG5, STEPRAG6, STEPRAG7, STEPRAG8,
        STEPRAG9;      // degrees per tick the slot spins, 0..30
    int32_t HABA;      // depth of the solids, 0..30, while HABAJIDO is 0
    int32_t HABAJIDO;  // 1 = automatic thickness instead of HABA
    int32_t SIZES;     // 1 = the dialog keeps SIZEY equal to SIZE
    int32_t SIZE;      // vertical size, 1..50 (pixels per 10 shape units)
    int32_t SIZEY;     // horizontal size, 1..50
    int32_t SIZEIDO;   // pixels per tick added to a moving logo's random speed, 0..20
    int32_t COLOR;     // colour code 1..7 of every slot while COLORS is 0
    int32_t COLORS;    // 1 = each slot has its own colour OPTIONCk
    int32_t TIMER;     // milliseconds between frames, 10..300
    int32_t VIEW;      // view tilt in steps of 10 degrees, 0..9
    int32_t ENKIN;     // perspective strength, 0..30 in steps of 5 (0 = none)
    int32_t BKMODE;    // 1 = black background; 0 = the desktop stays behind the logo
    int32_t ZANZOU;    // 1 = frames leave after-images
    int32_t KAITEN;    // 0 = the letters turn as a whole, 1 = each about its own axis
};

inline constexpr int kSettingCount = 53;

using SettingField = int32_t SaverSettings::*;

// One row of the key table.
struct SettingKey {
    SettingField field;
    int stringId;      // string resource holding the key's name
    int32_t byDefault;  // value when the file, section or key is missing
};

// The 53 keys in table order (load order, save order, order in a new file).
extern const std::array<SettingKey, kSettingCount> kSettingKeys;

// Per-slot settings, slot 1 first (index 0 is slot 1): the fields NAME1..NAME9.
#define KX_SLOT_FIELDS(name)                                                                              \
    {&SaverSettings::name##1, &SaverSettings::name##2, &SaverSettings::name##3, &SaverSettings::name##4, \
     &SaverSettings::name##5, &SaverSettings::name##6, &SaverSettings::name##7, &SaverSettings::name##8, \
     &SaverSettings::name##9}
inline constexpr std::array<SettingField, 9> kShapeChoiceFields = KX_SLOT_FIELDS(OPTIONA);
inline constexpr std::array<SettingField, 9> kSlotColourFields = KX_SLOT_FIELDS(OPTIONC);
inline constexpr std::array<SettingField, 9> kSlotSpinFields = KX_SLOT_FIELDS(ZKAITEN);
inline constexpr std::array<SettingField, 9> kSlotStepFields = KX_SLOT_FIELDS(STEPRAG);
#undef KX_SLOT_FIELDS

// The range of one setting that the saver keeps to and the dialog's bars offer.
struct SettingLimit {
    SettingField field;
    int32_t minimum, maximum;
};

// Every setting with a limit. Outside them a value would overrun the saver's
// arrays, overflow its angles or stop it from drawing.
inline constexpr auto kSaverLimits = std::to_array<SettingLimit>({
    {&SaverSettings::OPTIONN, 1, 9},
    {&SaverSettings::STEPRAG, 0, 30},
    {&SaverSettings::STEPRAG1, 0, 30}, {&SaverSettings::STEPRAG2, 0, 30}, {&SaverSettings::STEPRAG3, 0, 30},
    {&SaverSettings::STEPRAG4, 0, 30}, {&SaverSettings::STEPRAG5, 0, 30}, {&SaverSettings::STEPRAG6, 0, 30},
    {&SaverSettings::STEPRAG7, 0, 30}, {&SaverSettings::STEPRAG8, 0, 30}, {&SaverSettings::STEPRAG9, 0, 30},
    {&SaverSettings::HABA, 0, 30},
    {&SaverSettings::SIZE, 1, 50},
    {&SaverSettings::SIZEY, 1, 50},
    {&SaverSettings::SIZEIDO, 0, 20},
    {&SaverSettings::TIMER, 10, 300},
    {&SaverSettings::VIEW, 0, 9},
    {&SaverSettings::ENKIN, 0, 30},
});

// The limit of `field`, which must have one (a compile-time error where
// evaluated as a constant).
constexpr SettingLimit LimitOf(SettingField field) {
    for (const SettingLimit& limit : kSaverLimits)
        if (limit.field == field) return limit;
    throw "a setting without a limit";
}

// Keeps every value within its limit (each to the nearer end). The dialog
// shows hand-edited values as they are; the saver calls this right after loading.
void KeepWithinSaverLimits(SaverSettings& settings);

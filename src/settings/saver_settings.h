#pragma once
// The one settings record and its 53 ini keys.

#include <array>
#include <cstdint>

// Every user setting, one 32-bit field per ini key, in load and save order.
// Values are taken as read from the file; see KeepWithinSaverLimits.
struct SaverSettings {
    int32_t OPTIONA1, OPTIONA2, OPTIONA3, OPTIONA4, OPTIONA5, OPTIONA6, OPTIONA7, OPTIONA8, OPTIONA9;
    int32_t OPTIONC1, OPTIONC2, OPTIONC3, OPTIONC4, OPTIONC5, OPTIONC6, OPTIONC7, OPTIONC8, OPTIONC9;
    int32_t OPTIONN;
    int32_t ZKAITEN1, ZKAITEN2, ZKAITEN3, ZKAITEN4, ZKAITEN5, ZKAITEN6, ZKAITEN7, ZKAITEN8, ZKAITEN9;
    int32_t OPTIONP;
    int32_t STEPRAG;
    int32_t STEPRAG1, STEPRAG2, STEPRAG3, STEPRAG4, STEPRAG5, STEPRAG6, STEPRAG7, STEPRAG8, STEPRAG9;
    int32_t HABA, HABAJIDO, SIZES, SIZE, SIZEY, SIZEIDO, COLOR, COLORS, TIMER, VIEW, ENKIN;
    int32_t BKMODE, ZANZOU, KAITEN;
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

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

// Per-slot settings, slot 1 first (index 0 is slot 1).
extern const std::array<SettingField, 9> kShapeChoiceFields;  // OPTIONA1..9
extern const std::array<SettingField, 9> kSlotColourFields;   // OPTIONC1..9
extern const std::array<SettingField, 9> kSlotSpinFields;     // ZKAITEN1..9
extern const std::array<SettingField, 9> kSlotStepFields;     // STEPRAG1..9

// Keeps the values that would overrun the saver's arrays, overflow its angles
// or stop it from drawing within the ranges the dialog produces (each to the
// nearer end). The dialog shows hand-edited values as they are; the saver
// calls this right after loading.
void KeepWithinSaverLimits(SaverSettings& settings);

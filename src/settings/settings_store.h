#pragma once
// Loading and saving the settings record through the ini vocabulary of the string table.

#include <string>

#include "settings/profile_store.h"
#include "settings/saver_settings.h"

// The ini vocabulary, loaded from the string table. Capacities count the
// terminating zero; a longer text is cut.
struct ProfileNames {
    char settingsSection[40];      // "KORUNEX"
    char iniFile[13];              // "KORUNEX.ini", no directory
    char shapeSection[15];         // "MOJI ZAHYO"
    char endMarker[10];            // "ZAHYO-END"
    char keyNames[kSettingCount][10];  // in the order of kSettingKeys
    // Keys the dialog neither shows nor saves:
    char monitorKey[10];      // "GAMEN"
    char clockKey[10];        // "TOKEI"
    char clockFormatKey[10];  // "TOKEIFMT"
};

void LoadKeyNames(ProfileNames& names);

// The ini key of one setting field, from the loaded names.
const char* SettingKeyName(const ProfileNames& names, SettingField field);

// Sets every field from the file, or to its default; values are not range-checked.
void LoadSettings(const ProfileStore& store, const ProfileNames& names, SaverSettings& settings);

// Writes all 53 keys as unsigned decimal ("%u") in table order, one write per
// key. True when every write succeeded; a failed write stops the save and
// puts the file back byte for byte as it was before the first write (when
// the store could keep it).
bool SaveSettings(ProfileStore& store, const ProfileNames& names, const SaverSettings& settings);

// How the logos share the monitors of a full-screen run (the key GAMEN).
enum class MonitorMode {
    kWhole,    // 0: one logo over the whole virtual screen
    kEach,     // 1: a logo of its own on each monitor
    kPrimary,  // 2: one logo on the primary monitor; the others show the first picture
};

// GAMEN from the settings section; missing or out of range means kWhole.
MonitorMode LoadMonitorMode(const ProfileStore& store, const ProfileNames& names);

// The clock (the keys TOKEI and TOKEIFMT): the time in place of the slots' own records.
inline constexpr char kDefaultClockFormat[] = "%H:%M:%S";
inline constexpr size_t kMaxClockFormatBytes = 63;
struct ClockSettings {
    bool isOn;           // TOKEI 1; anything else is off
    std::string format;  // a strftime format, at most 63 bytes; the default when the key is missing
};
ClockSettings LoadClockSettings(const ProfileStore& store, const ProfileNames& names);

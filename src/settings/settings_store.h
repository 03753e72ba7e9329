#pragma once
// Loading and saving the settings record through the ini vocabulary of the string table.

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

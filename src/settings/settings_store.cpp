#include "settings/settings_store.h"

#include <charconv>

#include "settings/string_ids.h"
#include "settings/string_table.h"

namespace {

template <size_t N>
void LoadName(int id, char (&buffer)[N]) {
    LoadResourceText(id, buffer, static_cast<int>(N));
}

}  // namespace

void LoadKeyNames(ProfileNames& names) {
    LoadName(IDS_SETTINGS_SECTION, names.settingsSection);
    LoadName(IDS_INI_FILE, names.iniFile);
    LoadName(IDS_SHAPE_SECTION, names.shapeSection);
    for (int i = 0; i < kSettingCount; ++i) LoadName(kSettingKeys[i].stringId, names.keyNames[i]);
    LoadName(IDS_END_MARKER, names.endMarker);
    LoadName(IDS_KEY_GAMEN, names.monitorKey);
    LoadName(IDS_KEY_TOKEI, names.clockKey);
    LoadName(IDS_KEY_TOKEIFMT, names.clockFormatKey);
}

ClockSettings LoadClockSettings(const ProfileStore& store, const ProfileNames& names) {
    char format[kMaxClockFormatBytes + 1];
    store.ReadString(names.settingsSection, names.clockFormatKey, kDefaultClockFormat, format, sizeof format);
    return {store.ReadInt(names.settingsSection, names.clockKey, 0) == 1, format};
}

const char* SettingKeyName(const ProfileNames& names, SettingField field) {
    for (int i = 0; i < kSettingCount; ++i)
        if (kSettingKeys[i].field == field) return names.keyNames[i];
    return "";
}

MonitorMode LoadMonitorMode(const ProfileStore& store, const ProfileNames& names) {
    switch (store.ReadInt(names.settingsSection, names.monitorKey, 0)) {
        case 1: return MonitorMode::kEach;
        case 2: return MonitorMode::kPrimary;
        default: return MonitorMode::kWhole;
    }
}

void LoadSettings(const ProfileStore& store, const ProfileNames& names, SaverSettings& settings) {
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingKey& key = kSettingKeys[i];
        settings.*key.field = store.ReadInt(names.settingsSection, names.keyNames[i], key.byDefault);
    }
}

bool SaveSettings(ProfileStore& store, const ProfileNames& names, const SaverSettings& settings) {
    // One key at a time: a write that fails after others succeeded would
    // leave the file half saved, so it is put back as it was.
    const KeptFile before = store.KeepFile();
    for (int i = 0; i < kSettingCount; ++i) {
        char text[16];
        const uint32_t value = static_cast<uint32_t>(settings.*kSettingKeys[i].field);
        *std::to_chars(text, text + sizeof text - 1, value).ptr = '\0';
        if (!store.WriteString(names.settingsSection, names.keyNames[i], text)) {
            if (before.kept) store.PutBackFile(before);
            return false;
        }
    }
    return true;
}

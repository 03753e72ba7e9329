#include "linux/setting_overrides.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

int32_t OverridingStore::ReadInt(const char* section, const char* key, int32_t byDefault) const {
    // The last --set of a key wins.
    for (auto it = overrides_.rbegin(); it != overrides_.rend(); ++it)
        if (strcasecmp(it->first.c_str(), key) == 0) return it->second;
    return file_.ReadInt(section, key, byDefault);
}

bool ClockOverride::IsKey(const char* section, const char* key, const char* name) const {
    return strcasecmp(section, names_.settingsSection) == 0 && strcasecmp(key, name) == 0;
}

int32_t ClockOverride::ReadInt(const char* section, const char* key, int32_t byDefault) const {
    return IsKey(section, key, names_.clockKey) ? 1 : file_.ReadInt(section, key, byDefault);
}

size_t ClockOverride::ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                                 size_t capacity) const {
    if (format_.empty() || !IsKey(section, key, names_.clockFormatKey))
        return file_.ReadString(section, key, byDefault, buffer, capacity);
    const size_t length = std::min(format_.size(), capacity - 1);
    std::memcpy(buffer, format_.data(), length);
    buffer[length] = '\0';
    return length;
}

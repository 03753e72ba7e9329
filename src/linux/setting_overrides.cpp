#include "linux/setting_overrides.h"

#include <strings.h>

int32_t OverridingStore::ReadInt(const char* section, const char* key, int32_t byDefault) const {
    // The last --set of a key wins.
    for (auto it = overrides_.rbegin(); it != overrides_.rend(); ++it)
        if (strcasecmp(it->first.c_str(), key) == 0) return it->second;
    return file_.ReadInt(section, key, byDefault);
}

#include "settings/profile_store_win32.h"

#include <windows.h>

#include <algorithm>

int32_t Win32ProfileStore::ReadInt(const char* section, const char* key, int32_t byDefault) const {
    return static_cast<int32_t>(GetPrivateProfileIntA(section, key, byDefault, fileName_));
}

size_t Win32ProfileStore::ReadString(const char* section, const char* key, const char* byDefault,
                                     char* buffer, size_t capacity) const {
    if (capacity == 0) return 0;
    const DWORD size = static_cast<DWORD>(std::min<size_t>(capacity, 0x7FFFFFFF));
    return GetPrivateProfileStringA(section, key, byDefault, buffer, size, fileName_);
}

bool Win32ProfileStore::WriteString(const char* section, const char* key, const char* value) {
    return WritePrivateProfileStringA(section, key, value, fileName_) != 0;
}

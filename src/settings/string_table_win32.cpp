#include "settings/string_table.h"

#include <windows.h>

int LoadResourceText(int id, char* buffer, int capacity) {
    if (capacity <= 0) return 0;
    buffer[0] = '\0';
    return LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), buffer, capacity);
}

#include "settings/string_table.h"

#include <algorithm>
#include <cstring>

#include "settings/string_ids.h"

namespace {

constexpr StringEntry kEntries[] = {
#define KX_STRING(id, text) {id, text},
#include "strings.inc"
#undef KX_STRING
};

}  // namespace

std::span<const StringEntry> StringTableEntries() { return kEntries; }

#ifndef _WIN32
int LoadResourceText(int id, char* buffer, int capacity) {
    if (capacity <= 0) return 0;
    buffer[0] = '\0';
    for (const StringEntry& entry : kEntries) {
        if (entry.id != id) continue;
        const int length = std::min<int>(static_cast<int>(std::strlen(entry.text)), capacity - 1);
        std::memcpy(buffer, entry.text, static_cast<size_t>(length));
        buffer[length] = '\0';
        return length;
    }
    return 0;
}
#endif

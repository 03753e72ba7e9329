#pragma once
// The program's string table (resources/strings.inc): on Windows the module's
// string resources, elsewhere the same table compiled in.

#include <span>

struct StringEntry {
    int id;
    const char* text;
};

// Every entry of resources/strings.inc, in file order.
std::span<const StringEntry> StringTableEntries();

// Copies the text of string `id` into `buffer`, cut to capacity - 1 bytes and
// zero-terminated (as LoadStringA does). Returns the length copied; 0 and an
// empty buffer when the id is unknown. `capacity` counts the terminating zero.
int LoadResourceText(int id, char* buffer, int capacity);

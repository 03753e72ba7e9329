#pragma once
// Optional platform entries, looked up by name at run time.

#include <windows.h>

// The entry `name` of `module` as a function of type `Entry`, or null when
// the module or the entry is missing.
template <typename Entry>
Entry LookUpEntry(HMODULE module, const char* name) {
    if (module == nullptr) return nullptr;
    // Through the generic function type: the platform hands every entry out as one.
    return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

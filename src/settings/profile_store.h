#pragma once
// Access to the one ini file, as the platform's private-profile calls give it.

#include <cstddef>
#include <cstdint>
#include <string>

// The file's bytes as they stood, to be put back after a failed save.
struct KeptFile {
    bool kept = false;     // false: the store could not read them
    bool existed = false;  // false: there was no file
    std::string bytes;
};

class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // The key's value read as a decimal integer (optional sign, digits up to
    // the first other character, wrapping at 32 bits); `byDefault` when the
    // file, section or key is missing or the value is empty.
    virtual int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const = 0;

    // Copies the key's value (or `byDefault` when the file, section or key is
    // missing) into `buffer`, cut to capacity - 1 bytes and zero-terminated.
    // Returns the number of bytes copied.
    virtual size_t ReadString(const char* section, const char* key, const char* byDefault,
                              char* buffer, size_t capacity) const = 0;

    // Sets the key to `value`, creating the file, section and key as needed
    // and leaving every other line as it was. False when the file could not be written.
    virtual bool WriteString(const char* section, const char* key, const char* value) = 0;

    // The file as it stands now; a store that cannot read it keeps nothing.
    virtual KeptFile KeepFile() const { return {}; }

    // Puts the file back exactly as `kept` holds it (removed when it did not
    // exist). False when that failed or nothing was kept.
    virtual bool PutBackFile(const KeptFile& kept) {
        (void)kept;
        return false;
    }
};

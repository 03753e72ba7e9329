#pragma once
// The ini file through the platform's private-profile calls.

#include "settings/profile_store.h"

class Win32ProfileStore final : public ProfileStore {
public:
    // `fileName` without a directory names the file in the Windows directory.
    explicit Win32ProfileStore(const char* fileName) : fileName_(fileName) {}

    int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override;
    size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                      size_t capacity) const override;
    bool WriteString(const char* section, const char* key, const char* value) override;
    KeptFile KeepFile() const override;
    bool PutBackFile(const KeptFile& kept) override;

private:
    // The file's full path: a name without a directory is in the Windows directory.
    std::string Path() const;
    // Writes out what the platform may still hold of the file in memory.
    void Flush() const;

    const char* fileName_;
};

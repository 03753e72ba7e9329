#pragma once
// Settings given on the command line (--set KEY=VALUE) in front of the file's,
// so that XScreenSaver's dialog can pass its choices to the saver.

#include <string>
#include <utility>
#include <vector>

#include "settings/profile_store.h"

class OverridingStore final : public ProfileStore {
public:
    // `overrides`: key names as the settings section spells them (any case), with their values.
    OverridingStore(const ProfileStore& file, std::vector<std::pair<std::string, int32_t>> overrides)
        : file_(file), overrides_(std::move(overrides)) {}

    int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override;
    size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                      size_t capacity) const override {
        return file_.ReadString(section, key, byDefault, buffer, capacity);
    }
    bool WriteString(const char*, const char*, const char*) override { return false; }  // never saved

private:
    const ProfileStore& file_;
    std::vector<std::pair<std::string, int32_t>> overrides_;
};

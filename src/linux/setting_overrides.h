#pragma once
// Settings given on the command line (--set KEY=VALUE) in front of the file's,
// so that XScreenSaver's dialog can pass its choices to the saver.

#include <string>
#include <utility>
#include <vector>

#include "settings/profile_store.h"
#include "settings/settings_store.h"

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

// The clock turned on in front of `file` (--clock), with `format` unless it
// is empty: the file's format, or the default, stays then. Never saved.
class ClockOverride final : public ProfileStore {
public:
    ClockOverride(const ProfileStore& file, const ProfileNames& names, std::string format)
        : file_(file), names_(names), format_(std::move(format)) {}

    int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override;
    size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                      size_t capacity) const override;
    bool WriteString(const char*, const char*, const char*) override { return false; }

private:
    bool IsKey(const char* section, const char* key, const char* name) const;
    const ProfileStore& file_;
    const ProfileNames& names_;
    std::string format_;
};

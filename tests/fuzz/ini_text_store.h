#pragma once
// A ProfileStore over ini text in memory, so that fuzzing needs no files.

#include <algorithm>
#include <cstring>
#include <string>

#include "settings/ini_file.h"

class IniTextStore final : public ProfileStore {
public:
    explicit IniTextStore(std::string text) : text(std::move(text)) {}

    int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override {
        const IniDocument document(text);
        const auto value = document.Find(section, key);
        const std::string_view copied = value ? CopiedProfileValue(*value, 30) : std::string_view{};
        return copied.empty() ? byDefault : ParseProfileInt(copied);
    }
    size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                      size_t capacity) const override {
        if (capacity == 0) return 0;
        const IniDocument document(text);
        const auto found = document.Find(section, key);
        const std::string_view value = found ? CopiedProfileValue(*found, capacity) : std::string_view(byDefault);
        const size_t length = std::min(value.size(), capacity - 1);
        if (length > 0) std::memcpy(buffer, value.data(), length);
        buffer[length] = '\0';
        return length;
    }
    bool WriteString(const char* section, const char* key, const char* value) override {
        text = SetIniValue(text, section, key, value);
        return true;
    }

    std::string text;
};

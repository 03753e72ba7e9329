#pragma once
// A ProfileStore over ini text in memory: what the tools plan a file's
// change in, and what --text builds its letters in.

#include <optional>
#include <string>

#include "settings/ini_file.h"
#include "settings/profile_store.h"

// The text is parsed at the first read after a change.
class IniTextStore final : public ProfileStore {
public:
    explicit IniTextStore(std::string text) : text_(std::move(text)) {}

    const std::string& text() const { return text_; }

    int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override;
    size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                      size_t capacity) const override;
    bool WriteString(const char* section, const char* key, const char* value) override;

private:
    const IniDocument& Document() const;

    std::string text_;
    mutable std::optional<IniDocument> document_;
};

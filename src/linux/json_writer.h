#pragma once
// A small writer of compact JSON text; it places the commas.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "glyphs/text_codes.h"

class JsonWriter {
public:
    JsonWriter& Open(char bracket) {  // '{' or '['
        Separate();
        text_ += bracket;
        needsComma_ = false;
        return *this;
    }
    JsonWriter& Close(char bracket) {  // '}' or ']'
        text_ += bracket;
        needsComma_ = true;
        return *this;
    }
    JsonWriter& Key(std::string_view key) {
        Separate();
        AppendString(key);
        text_ += ':';
        needsComma_ = false;
        return *this;
    }
    JsonWriter& Int(int64_t value) {
        Separate();
        text_ += std::to_string(value);
        needsComma_ = true;
        return *this;
    }
    // Bytes as the shape file holds them, quoted.
    JsonWriter& String(std::string_view value) {
        Separate();
        AppendString(value);
        needsComma_ = true;
        return *this;
    }
    // Reals with 17 significant digits, enough to read back the same double.
    JsonWriter& Real(double value) {
        Separate();
        if (std::isfinite(value)) {
            char buffer[32];
            text_.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value,
                                               std::chars_format::general, 17).ptr);
        } else {
            text_ += "null";
        }
        needsComma_ = true;
        return *this;
    }
    JsonWriter& Ints(std::initializer_list<int64_t> values) {
        Open('[');
        for (int64_t value : values) Int(value);
        return Close(']');
    }
    void Newline() { text_ += '\n'; }
    const std::string& text() const { return text_; }
    // The text written so far, handed over; writing goes on after it.
    std::string TakeText() { return std::exchange(text_, {}); }

private:
    void Separate() {
        if (needsComma_) text_ += ',';
    }
    void AppendString(std::string_view s) { text_ += QuoteJson(s); }

    std::string text_;
    bool needsComma_ = false;
};

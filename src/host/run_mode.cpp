#include "host/run_mode.h"

namespace {

bool IsBlankOrControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x01 && byte <= 0x20;
}

const char* SkipSpaces(const char* text) {
    while (*text == ' ') ++text;
    return text;
}

RunSwitch WithNumberAt(RunMode mode, const char* text) {
    return {mode, text, ParseWindowNumber(text)};
}

}  // namespace

const char* NextByte(const char* position) {
    return *position != '\0' ? position + 1 : position;
}

const char* CutArgumentTail(const char* commandLine, NextCharFn next) {
    const char* p = commandLine;
    if (*p == '"') {
        p = next(p);
        while (*p != '\0' && *p != '"') p = next(p);
        if (*p == '"') p = next(p);
    } else {
        while (static_cast<unsigned char>(*p) > 0x20) p = next(p);
    }
    while (IsBlankOrControl(*p)) p = next(p);
    return p;
}

uint64_t ParseWindowNumber(const char* text) {
    uint64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + static_cast<uint64_t>(*text - '0');
    return value;
}

RunSwitch ReadRunSwitch(const char* tail, bool legacyPlatform) {
    const char* p = tail;
    while (*p == ' ' || *p == '-' || *p == '/') ++p;
    switch (*p) {
    case '\0':
        return {RunMode::kSettings, p, 0};
    case 'S': case 's':
        return {RunMode::kFullScreen, p + 1, 0};
    case 'C': case 'c':
        // Only a colon right after the letter introduces the owner's number.
        if (p[1] == ':') return WithNumberAt(RunMode::kSettingsOwned, p + 2);
        return {RunMode::kSettingsOwned, p + 1, 0};
    case 'P': case 'p': case 'L': case 'l':
        return WithNumberAt(RunMode::kPreview, SkipSpaces(p + 1));
    case 'A': case 'a':
        if (legacyPlatform) return WithNumberAt(RunMode::kPasswordChange, SkipSpaces(p + 1));
        return {RunMode::kInvalid, p, 0};
    default:
        return {RunMode::kInvalid, p, 0};
    }
}

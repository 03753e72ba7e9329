#include "linux/command_line.h"

#include <charconv>
#include <cstdio>
#include <strings.h>
#include <string_view>

#include "settings/settings_store.h"

namespace {

template <typename T>
T ReadWhole(std::string_view text, T low, T high, const std::string& what) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high)
        throw UsageError{what + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not '" + std::string(text) + "'"};
    return value;
}

// KEY=VALUE, KEY one of the 53 settings.
std::pair<std::string, int32_t> ReadOverride(std::string_view text) {
    const size_t equals = text.find('=');
    const std::string key(text.substr(0, equals));
    ProfileNames names;
    LoadKeyNames(names);
    bool isKnown = false;
    std::string all;
    for (const auto& name : names.keyNames) {
        isKnown |= equals != std::string_view::npos && strcasecmp(name, key.c_str()) == 0;
        all += all.empty() ? name : std::string(" ") + name;
    }
    if (!isKnown) throw UsageError{"--set takes KEY=VALUE with KEY one of: " + all + "; not '" + std::string(text) + "'"};
    return {key, ReadWhole<int32_t>(text.substr(equals + 1), INT32_MIN, INT32_MAX, "the value of --set " + key)};
}

// XScreenSaver, its settings program and its users give a hack's options
// with one dash as often as with two: -root is --root.
std::string WithTwoDashes(std::string_view arg) {
    const bool isOneDashWord = arg.size() > 2 && arg[0] == '-' && arg[1] != '-';
    return isOneDashWord ? "-" + std::string(arg) : std::string(arg);
}

}  // namespace

uint64_t ReadWindowId(std::string_view text) {
    const bool isHex = text.starts_with("0x") || text.starts_with("0X");
    const std::string_view digits = isHex ? text.substr(2) : text;
    uint64_t id = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id, isHex ? 16 : 10);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() || id == 0 || id > UINT32_MAX)
        throw UsageError{"--window-id must be a window id such as 0x1a00007 or 27262983, not '" + std::string(text) + "'"};
    return id;
}

Options ReadOptions(int argc, char** argv, int first) {
    Options options;
    for (int i = first; i < argc; ++i) {
        const std::string arg = WithTwoDashes(argv[i]);
        auto value = [&]() -> std::string_view {
            if (i + 1 >= argc) throw UsageError{arg + " needs a value"};
            return argv[++i];
        };
        if (arg == "--ini") {
            options.ini = std::string(value());
        } else if (arg == "--check") {
            options.check = true;
        } else if (arg == "--size") {
            const std::string_view size = value();
            const size_t x = size.find('x');
            if (x == std::string_view::npos) throw UsageError{"--size must be WxH, not '" + std::string(size) + "'"};
            options.width = ReadWhole<int32_t>(size.substr(0, x), 1, 16384, "the width of --size");
            options.height = ReadWhole<int32_t>(size.substr(x + 1), 1, 16384, "the height of --size");
        } else if (arg == "--frames") {
            options.frames = ReadWhole<int32_t>(value(), 0, 1'000'000, "--frames");
        } else if (arg == "--every") {
            options.every = ReadWhole<int32_t>(value(), 1, 1'000'000, "--every");
        } else if (arg == "--seed") {
            options.seed = ReadWhole<uint32_t>(value(), 0, UINT32_MAX, "--seed");
        } else if (arg == "--out") {
            options.out = std::string(value());
        } else if (arg == "--sheet") {
            options.sheet = std::string(value());
        } else if (arg == "--set") {
            options.overrides.push_back(ReadOverride(value()));
        } else if (arg == "--text") {
            options.text = std::string(value());
        } else if (arg == "--font") {
            options.font = std::string(value());
        } else if (ReadTextSwitch(arg, options.switches)) {
        } else if (arg == "--preview") {
            options.preview = std::string(value());
        } else if (arg == "--window") {
            options.inWindow = true;
        } else if (arg == "--root") {
            options.onRoot = true;
        } else if (arg == "--window-id") {
            options.windowId = ReadWindowId(value());
        } else if (arg == "--fps") {
            options.showsFrameRate = true;
        } else {
            throw UsageError{"unknown option '" + std::string(argv[i]) + "'"};
        }
    }
    return options;
}

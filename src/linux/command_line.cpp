#include "linux/command_line.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#include "linux/settings_path.h"

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

}  // namespace

Options ReadOptions(int argc, char** argv, int first) {
    Options options;
    for (int i = first; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> std::string_view {
            if (i + 1 >= argc) throw UsageError{std::string(arg) + " needs a value"};
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
        } else {
            throw UsageError{"unknown option '" + std::string(arg) + "'"};
        }
    }
    return options;
}

IniFileStore OpenStore(const Options& options, const ProfileNames& names) {
    if (options.ini) return IniFileStore(*options.ini);
    const std::filesystem::path path = SettingsFilePath(names);
    if (!InstallDefaultShapeFile(names, path))
        std::fprintf(stderr, "korunex: no settings file at %s and no default shape file to install there\n",
                     path.c_str());
    return IniFileStore(path);
}

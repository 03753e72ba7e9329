// korunex: the Linux front end. Subcommands:
//   shapes [--ini FILE] [--check]     list (and check) the shape records
//   scene [--ini FILE] [--size WxH] [--frames N] [--seed S]
//                                     print the scene as JSON

#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "linux/scene_json.h"
#include "linux/settings_path.h"
#include "scene/shape_check.h"
#include "scene/shape_library.h"
#include "settings/ini_file.h"
#include "settings/settings_store.h"

namespace {

constexpr char kUsage[] =
    "usage: korunex shapes [--ini FILE] [--check]\n"
    "       korunex scene [--ini FILE] [--size WxH] [--frames N] [--seed S]\n";

// A command-line mistake: the message goes to standard error with exit status 2.
struct UsageError {
    std::string message;
};

struct Options {
    std::optional<std::string> ini;
    bool check = false;
    int32_t width = 1280, height = 720;
    int32_t frames = 0;
    std::optional<uint32_t> seed;
};

template <typename T>
T ReadWhole(std::string_view text, T low, T high, const std::string& what) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high)
        throw UsageError{what + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not '" + std::string(text) + "'"};
    return value;
}

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
        } else if (arg == "--seed") {
            options.seed = ReadWhole<uint32_t>(value(), 0, UINT32_MAX, "--seed");
        } else {
            throw UsageError{"unknown option '" + std::string(arg) + "'"};
        }
    }
    return options;
}

// The settings file named by --ini, or the user's, which gets the default
// shape file on first use.
IniFileStore OpenStore(const Options& options, const ProfileNames& names) {
    if (options.ini) return IniFileStore(*options.ini);
    const std::filesystem::path path = SettingsFilePath(names);
    if (!InstallDefaultShapeFile(names, path))
        std::fprintf(stderr, "korunex: no settings file at %s and no default shape file to install there\n",
                     path.c_str());
    return IniFileStore(path);
}

int ListShapes(const Options& options) {
    ProfileNames names;
    LoadKeyNames(names);
    const IniFileStore store = OpenStore(options, names);
    const std::optional<std::string> text = store.ReadText();
    if (!text) {
        std::fprintf(stderr, "korunex: cannot read %s\n", store.path().c_str());
        return 1;
    }

    int problems = 0, number = 1;
    for (;; ++number) {
        const std::string key = RecordKey(number);
        const std::string_view value = FindIniValue(*text, names.shapeSection, key).value_or(names.endMarker);
        if (IsEndOfRecords(value, names.endMarker)) break;

        ShapeRecord shape;
        ParseShapeRecord(value.substr(0, kRecordBufferSize - 1), names.endMarker, shape);
        size_t position = 0;
        char name[kNameBytes];
        CopyShapeName(NextRecordToken(value, position).value_or(""), name);
        std::printf("%3d  %-9s  %2d points  %2d contours\n", number, name, shape.pointCount, shape.contourCount);

        if (!options.check) continue;
        for (const std::string& problem : CheckShapeRecord(number, value)) {
            std::printf("     %s\n", problem.c_str());
            ++problems;
        }
    }
    const int records = number - 1;
    if (options.check) {
        if (records == 0) {
            std::printf("%s: no records in section [%s]\n", store.path().c_str(), names.shapeSection);
            ++problems;
        }
        if (records > kMaxShapeNames)
            std::printf("%d records: the dialog offers only the first %d\n", records, kMaxShapeNames), ++problems;
        std::printf("%d records, %d problems\n", records, problems);
    }
    return problems == 0 ? 0 : 1;
}

int PrintScene(const Options& options) {
    if (options.frames != 0) throw UsageError{"--frames: only the set-up (0 frames) can be printed yet"};
    ProfileNames names;
    LoadKeyNames(names);
    const IniFileStore store = OpenStore(options, names);

    auto settings = std::make_unique<SaverSettings>();
    auto scene = std::make_unique<LogoScene>();
    LoadSettings(store, names, *settings);
    const SaverSettings asRead = *settings;
    KeepWithinSaverLimits(*settings);
    LoadSlotShapes(store, names, *settings, *scene);
    scene->screenWidth = options.width;
    scene->screenHeight = options.height;
    BuildScene(*scene, *settings);
    if (options.seed) scene->randomState = *options.seed;

    JsonWriter json;
    json.Open('{');
    WriteSceneHeader(json, *scene, names, asRead);
    WriteSceneSetup(json, *scene, *settings);
    json.Key("frames").Open('[').Close(']');
    json.Close('}').Newline();
    std::fwrite(json.text().data(), 1, json.text().size(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string_view command = argc > 1 ? argv[1] : "";
        if (command == "shapes") return ListShapes(ReadOptions(argc, argv, 2));
        if (command == "scene") return PrintScene(ReadOptions(argc, argv, 2));
        if (command == "--help" || command == "-h" || command == "help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        throw UsageError{command.empty() ? "a command is needed" : "unknown command '" + std::string(command) + "'"};
    } catch (const UsageError& error) {
        std::fprintf(stderr, "korunex: %s\n%s", error.message.c_str(), kUsage);
        return 2;
    }
}

#include "linux/command_line.h"

#include <charconv>
#include <iterator>
#include <cstdio>
#include <strings.h>
#include <string_view>
#include <vector>

#include "linux/frame_clock.h"
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

// KEY=VALUE, KEY one of the 53 settings, the monitor mode or the clock switch.
std::pair<std::string, int32_t> ReadOverride(std::string_view text) {
    const size_t equals = text.find('=');
    const std::string key(text.substr(0, equals));
    ProfileNames names;
    LoadKeyNames(names);
    bool isKnown = false;
    std::string all;
    std::vector<const char*> keys;
    for (const auto& name : names.keyNames) keys.push_back(name);
    keys.push_back(names.monitorKey);
    keys.push_back(names.clockKey);
    for (const char* name : keys) {
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

// The commands that take an option, one bit each.
constexpr unsigned Bit(Command command) { return 1u << unsigned(command); }
constexpr unsigned kSaver = Bit(Command::kSaver), kShapes = Bit(Command::kShapes), kScene = Bit(Command::kScene),
                   kRender = Bit(Command::kRender), kText = Bit(Command::kText);
constexpr unsigned kPreview = 1u << 5;  // text, for its --preview picture alone
constexpr unsigned kDrawing = kScene | kRender | kPreview;

struct OptionRule {
    std::string_view name;
    const char* value;  // what its value is, for messages; null for a switch
    unsigned commands;  // the commands that take it
    void (*read)(Options& options, std::string_view value);
    bool valueMayBeLeftOut = false;  // the next argument is its value unless it is an option
};

// Every option and the commands that take it.
constexpr OptionRule kOptionRules[] = {
    {"--ini", "FILE", kSaver | kShapes | kScene | kRender | kText, [](Options& o, std::string_view v) { o.ini = std::string(v); }},
    {"--check", nullptr, kShapes, [](Options& o, std::string_view) { o.check = true; }},
    {"--size", "WxH", kDrawing,
     [](Options& o, std::string_view v) {
         const size_t x = v.find('x');
         if (x == std::string_view::npos) throw UsageError{"--size must be WxH, not '" + std::string(v) + "'"};
         o.width = ReadWhole<int32_t>(v.substr(0, x), 1, 16384, "the width of --size");
         o.height = ReadWhole<int32_t>(v.substr(x + 1), 1, 16384, "the height of --size");
     }},
    {"--frames", "N", kDrawing,
     [](Options& o, std::string_view v) { o.frames = ReadWhole<int32_t>(v, 0, 1'000'000, "--frames"); }},
    {"--every", "K", kRender | kPreview,
     [](Options& o, std::string_view v) { o.every = ReadWhole<int32_t>(v, 1, 1'000'000, "--every"); }},
    {"--seed", "S", kDrawing,
     [](Options& o, std::string_view v) { o.seed = ReadWhole<uint32_t>(v, 0, UINT32_MAX, "--seed"); }},
    {"--out", "DIR", kRender, [](Options& o, std::string_view v) { o.out = std::string(v); }},
    {"--sheet", "FILE.png", kRender, [](Options& o, std::string_view v) { o.sheet = std::string(v); }},
    {"--set", "KEY=VALUE", kSaver | kDrawing,
     [](Options& o, std::string_view v) { o.overrides.push_back(ReadOverride(v)); }},
    {"--text", "TEXT", kSaver | kScene | kRender, [](Options& o, std::string_view v) { o.text = std::string(v); }},
    {"--font", "PATTERN|FILE", kSaver | kScene | kRender | kText, [](Options& o, std::string_view v) { o.font = std::string(v); }},
    {"--use", nullptr, kText, [](Options& o, std::string_view) { o.switches.useText = true; }},
    {"--report", nullptr, kText, [](Options& o, std::string_view) { o.switches.report = true; }},
    {"--json", nullptr, kText, [](Options& o, std::string_view) { o.switches.json = true; }},
    {"--dry-run", nullptr, kText, [](Options& o, std::string_view) { o.switches.dryRun = true; }},
    {"--preview", "FILE.png", kText, [](Options& o, std::string_view v) { o.preview = std::string(v); }},
    {"--window", nullptr, kSaver, [](Options& o, std::string_view) { o.inWindow = true; }},
    {"--root", nullptr, kSaver, [](Options& o, std::string_view) { o.onRoot = true; }},
    {"--window-id", "ID", kSaver, [](Options& o, std::string_view v) { o.windowId = ReadWindowId(v); }},
    {"--fps", nullptr, kSaver, [](Options& o, std::string_view) { o.showsFrameRate = true; }},
    {"--wayland", nullptr, kSaver, [](Options& o, std::string_view) { o.onWayland = true; }},
    {"--clock", "FORMAT", kSaver | kScene | kRender | kText,
     // XScreenSaver's settings give --clock alone and again with its format field's value.
     [](Options& o, std::string_view v) { if (!v.empty() || !o.clock) o.clock = std::string(v); }, true},
    {"--at", "HH:MM:SS", kScene | kRender,
     [](Options& o, std::string_view v) { o.at = ReadTimeOfDay("--at", std::string(v).c_str()); }},
};

std::string CommandName(Command command) {
    constexpr const char* kNames[] = {"the saver", "shapes", "scene", "render", "text"};
    return kNames[int(command)];
}

// An argument that is no option: the TEXT of text, else a mistake.
void ReadOperand(std::string_view arg, Command command, bool optionsEnded, Options& options) {
    if (command != Command::kText)
        throw UsageError{CommandName(command) + " takes no argument '" + std::string(arg) + "'"};
    if (options.text)
        throw UsageError{"text takes one TEXT, and '" + std::string(arg) + "' would be a second; " +
                         (optionsEnded ? "after -- no argument is an option" : "quote a text with blanks")};
    options.text = std::string(arg);
}

// Options that mean something only with another one; `forPreview`: the
// options text takes for its --preview alone.
void CheckCompanions(const Options& options, Command command, std::string_view forPreview) {
    // The saver takes --font alone: XScreenSaver's settings pass it whenever its field is filled.
    if ((command == Command::kScene || command == Command::kRender) && options.font && !options.text)
        throw UsageError{"--font is the font of --text, and there is no --text"};
    // The saver shows the time then: XScreenSaver's settings may pass a text as well.
    if (options.clock && options.text && command != Command::kSaver)
        throw UsageError{"--clock and " + std::string(command == Command::kText ? "a TEXT" : "--text") +
                         " both choose the letters; give one of them"};
    if (options.at && !options.clock) throw UsageError{"--at is the time of --clock, and there is no --clock"};
    if (command != Command::kText) return;
    if (!options.text && !options.clock) throw UsageError{"text needs the TEXT to turn into letters first"};
    if (!forPreview.empty() && !options.preview)
        throw UsageError{"text uses " + std::string(forPreview) + " only for its --preview picture, and there is no --preview"};
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

Options ReadOptions(int argc, char** argv, int first, Command command) {
    Options options;
    std::string_view forPreview;  // the last option met that text takes for its --preview alone
    bool valuesGiven[std::size(kOptionRules)] = {};
    bool optionsEnded = false;
    for (int i = first; i < argc; ++i) {
        const std::string_view raw = argv[i];
        if (optionsEnded || raw == "-" || !raw.starts_with('-')) {
            ReadOperand(raw, command, optionsEnded, options);
            continue;
        }
        if (raw == "--") {
            optionsEnded = true;
            continue;
        }
        const std::string arg = WithTwoDashes(raw);
        const OptionRule* rule = nullptr;
        for (const OptionRule& candidate : kOptionRules)
            if (candidate.name == arg) rule = &candidate;
        if (!rule) {
            const bool mayBeText = command == Command::kText && !raw.starts_with("--");
            throw UsageError{"unknown option '" + std::string(raw) + "'" +
                             (mayBeText ? "; a TEXT that starts with '-' goes after --, as in: text -- " + std::string(raw)
                                        : "")};
        }
        const bool isForPreview = command == Command::kText && (rule->commands & kPreview);
        if (!(rule->commands & Bit(command)) && !isForPreview)
            throw UsageError{CommandName(command) + " takes no " + arg};
        if (isForPreview) forPreview = rule->name;
        std::string_view value;
        const bool isLeftOut = rule->valueMayBeLeftOut && (i + 1 >= argc || std::string_view(argv[i + 1]).starts_with('-'));
        if (rule->value && !isLeftOut) {
            if (i + 1 >= argc) throw UsageError{arg + " needs " + rule->value};
            value = argv[++i];
            if (value.empty()) throw UsageError{arg + " needs " + rule->value + ", not an empty value"};
            // Which of two values was meant cannot be told; only --set is a list.
            const size_t index = size_t(rule - kOptionRules);
            if (rule->name != "--set" && valuesGiven[index]) throw UsageError{arg + " is given twice"};
            valuesGiven[index] = true;
        }
        rule->read(options, value);
    }
    CheckCompanions(options, command, forPreview);
    return options;
}

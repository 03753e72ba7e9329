#pragma once
// What the korunex subcommands share: their options and how mistakes are told.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "glyphs/text_letters.h"
#include "settings/ini_file_store.h"
#include "settings/settings_store.h"

// A command-line mistake: the message goes to standard error with exit status 2.
struct UsageError {
    std::string message;
};

// A file the command cannot use as asked (a settings file that is no regular
// file, a picture that would be written over it, a folder that cannot be
// made): the message alone goes to standard error, with exit status 2.
struct FileError {
    std::string message;
};

struct Options {
    std::optional<std::string> ini;
    bool check = false;
    int32_t width = 1280, height = 720;
    int32_t frames = 0;
    int32_t every = 1;
    std::optional<uint32_t> seed;
    std::optional<std::string> out;
    std::optional<std::string> sheet;
    bool inWindow = false;              // saver: --window
    bool onRoot = false;                // saver: --root
    std::optional<uint64_t> windowId;   // saver: --window-id
    bool showsFrameRate = false;        // saver: --fps
    bool onWayland = false;             // saver: --wayland
    std::vector<std::pair<std::string, int32_t>> overrides;  // --set KEY=VALUE, in order
    std::optional<std::string> text;     // text: TEXT; saver, scene, render: --text
    std::optional<std::string> font;     // --font PATTERN|FILE
    TextSwitches switches;               // text: --use, --report, --json, --dry-run
    std::optional<std::string> preview;  // text: --preview FILE.png
    std::optional<std::string> clock;    // --clock [FORMAT]: the time for letters; empty: the file's format
    std::optional<int32_t> at;           // scene, render: --at HH:MM:SS, as seconds after midnight
};

// A window id as X tools print it: hexadecimal with 0x, or decimal; throws UsageError.
uint64_t ReadWindowId(std::string_view text);

enum class Command { kSaver, kShapes, kScene, kRender, kText };

// Reads the options of `command` from argv[first] on; throws UsageError for
// an option the command does not take, a value that is missing or empty,
// and an argument that is no option (but the TEXT of text, which may also
// come after "--", where the options end).
Options ReadOptions(int argc, char** argv, int first, Command command = Command::kSaver);

// What a store is opened for: a tool explains a settings file it cannot use
// and stops (FileError); the saver stays silent and runs on its defaults.
enum class StoreUse { kTool, kSaver };

// The settings file named by --ini, which must be a regular file that can be
// read (else UsageError or FileError, for the saver too), or the user's,
// which gets the default shape file on first use.
IniFileStore OpenStore(const Options& options, const ProfileNames& names, StoreUse use = StoreUse::kTool);

int RunShapesCommand(const Options& options);
int RunSceneCommand(const Options& options);
int RunRenderCommand(const Options& options);
// Draws options.frames frames of what `store` holds, writing every
// options.every-th into options.out and onto the contact sheet options.sheet
// when they are given.
int DrawFrames(const ProfileStore& store, ProfileNames& names, const Options& options);
int RunSaverCommand(const Options& options);
int RunTextCommand(const Options& options);

// Refuses, with FileError, a picture output that would be written over the
// settings file (the same file, however it is spelled or linked), that lies
// in a folder that is not there, or that is there as anything but a regular
// file (a FIFO would hang the run), before anything is written.
void CheckPictureOutput(const std::string& picture, const std::filesystem::path& settingsFile);

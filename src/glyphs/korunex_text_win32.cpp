// korunex-text.exe: the letters of a text in an installed font, fitted into
// shape records and written into KORUNEX.ini through the profile calls.
// With arguments, a console tool; without, a window (text_window_win32).

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "glyphs/text_choice.h"
#include "glyphs/text_letters.h"
#include "glyphs/text_window_win32.h"
#include "settings/profile_store_win32.h"
#include "settings/settings_store.h"

namespace {

constexpr char kUsage[] =
    "usage: korunex-text TEXT|--clock [FORMAT] [--font FACE] [--bold] [--italic] [--ini FILE] [--use]\n"
    "                    [--report] [--json] [--dry-run]\n"
    "Adds the letters of TEXT, drawn from the installed font FACE (default: Arial, bold), as shape\n"
    "records to KORUNEX.ini in the Windows folder (or FILE). --use also makes the screen saver show\n"
    "the text (at most 9 characters); --clock instead adds every character the clock can show and\n"
    "turns the clock on with FORMAT (default: the file's own); --report and --json tell how close\n"
    "each letter came; --dry-run writes nothing. Without arguments, a window offers the same.\n";

struct ToolOptions {
    std::string text, font = "Arial", ini;
    std::optional<std::string> clock;  // --clock: its format, empty for the file's own
    bool bold = false, italic = false;
    TextSwitches switches;
};

std::string Utf8(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(size_t(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.resize(text.size() - 1);
    return text;
}

// Reads the command line; an empty message means it is sound.
std::string ReadToolOptions(const std::vector<std::string>& args, ToolOptions& options) {
    bool fontGiven = false, haveText = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        if (arg == "--font") {
            if (!value(options.font)) return "--font needs a face name";
            fontGiven = true;
        } else if (arg == "--ini") {
            if (!value(options.ini)) return "--ini needs a file";
        } else if (arg == "--bold") {
            options.bold = true;
        } else if (arg == "--italic") {
            options.italic = true;
        } else if (arg == "--clock") {
            options.clock.emplace();
            if (i + 1 < args.size() && !args[i + 1].starts_with("--")) options.clock = args[++i];
        } else if (ReadTextSwitch(arg, options.switches)) {
        } else if (arg.starts_with("--") || haveText) {
            return "unknown option '" + arg + "'";
        } else {
            options.text = arg;
            haveText = true;
        }
    }
    if (options.clock && haveText) return "--clock and a TEXT exclude each other";
    if (options.clock && !options.clock->empty())
        if (const std::optional<std::string> problem = ClockFormatProblem(*options.clock))
            return "--clock takes " + *problem;
    if (!haveText && !options.clock) return "the TEXT to turn into letters is missing";
    if (!fontGiven) options.bold = true;  // the default is Arial bold
    return "";
}

int Fail(const std::string& message, int status) {
    std::fprintf(stderr, "korunex-text: %s\n", message.c_str());
    return status;
}

// What the command line asks the saver to show; --clock alone takes the
// file's own format, which must then be one the saver reads back.
std::optional<TextChoice> ChoiceOf(const ToolOptions& options, const ProfileStore& store, const ProfileNames& names,
                                   std::string& problem) {
    TextChoice choice{options.text, options.clock, options.switches.useText};
    if (choice.clockFormat && choice.clockFormat->empty()) {
        choice.clockFormat = LoadClockSettings(store, names).format;
        if (const std::optional<std::string> refusal = ClockFormatProblem(*choice.clockFormat)) {
            problem = "TOKEIFMT is not " + *refusal;
            return std::nullopt;
        }
    }
    return choice;
}

// The console tool: the letters of the command line's text or clock.
int RunConsoleTool(const std::vector<std::string>& args) {
    ToolOptions options;
    if (const std::string problem = ReadToolOptions(args, options); !problem.empty()) {
        std::fprintf(stderr, "korunex-text: %s\n%s", problem.c_str(), kUsage);
        return 2;
    }
    ProfileNames names;
    LoadKeyNames(names);
    // A bare file name is the file in the Windows folder, where the saver reads it.
    const std::string file = options.ini.empty() ? names.iniFile : options.ini;
    Win32ProfileStore store(file.c_str());
    std::string problem;
    const std::optional<TextChoice> choice = ChoiceOf(options, store, names, problem);
    if (!choice) return Fail(file + ": " + problem, 1);
    FontFace style;
    style.bold = options.bold;
    style.italic = options.italic;
    const std::optional<FontFace> face = FindFont(options.font, problem, style);
    if (!face) return Fail(problem, 1);
    std::optional<TextLetters> letters = LoadLetters(CharactersToFit(*choice, store, names), *face, problem);
    if (!letters) return Fail(problem, 1);

    // The profile calls keep a name in the code page in any file, with or without a byte-order mark.
    if (letters->missing.empty())
        if (const std::optional<std::string> refusal = RefuseBeforeFit(
                *letters, choice->ShowsText(), ReadFileRecords(store, names), NameBytes::kCodePage))
            return Fail(file + ": " + *refusal, 1);
    FitLetters(*letters);
    std::optional<ShapeFileUpdate> update;
    if (letters->missing.empty())
        update = PlanChoice(store, names, LetterRecords(*letters, NameBytes::kCodePage), *choice, problem);
    const bool writes = update && !update->writes.empty() && !options.switches.dryRun;
    if (writes)
        if (const WriteOutcome outcome =
                IsReadOnlyFile(file.c_str()) ? WriteOutcome::kFailedUnchanged : WriteWholeUpdate(store, *update);
            outcome != WriteOutcome::kWritten)
            return Fail("cannot write " + file + " (is it read-only, or its folder not yours to write?)" +
                            (outcome == WriteOutcome::kFailedUnchanged ? "; the file is unchanged"
                                                                       : "; the file may hold part of the records"),
                        1);

    if (options.switches.json)
        std::fputs(FormatLetterJson(*letters, update, file, writes).c_str(), stdout);
    else if (options.switches.report)
        std::fputs(FormatLetterReport(*letters, update).c_str(), stdout);
    for (char32_t character : letters->missing)
        Fail(MissingGlyphMessage(*letters, character) + "; try another --font", 1);
    if (!letters->missing.empty()) return 1;
    if (!update) return Fail(file + ": " + problem, 1);
    if (options.switches.json) return 0;
    TextSwitches told = options.switches;
    told.useText = choice->ShowsText();  // with the clock, the slots stay as they were
    std::fputs(FormatLetterSummary(*letters, *update, file, told).c_str(), stdout);
    if (choice->clockFormat)
        std::printf("%s the clock with TOKEIFMT=%s\n", options.switches.dryRun ? "would turn on" : "turned on",
                    choice->clockFormat->c_str());
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 1) return RunTextWindow(GetModuleHandleW(nullptr));
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(Utf8(argv[i]));
    return RunConsoleTool(args);
}

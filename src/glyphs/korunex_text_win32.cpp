// korunex-text.exe: the letters of a text in an installed font, fitted into
// shape records and written into KORUNEX.ini through the profile calls.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "glyphs/text_letters.h"
#include "settings/profile_store_win32.h"
#include "settings/settings_store.h"

namespace {

constexpr char kUsage[] =
    "usage: korunex-text TEXT [--font FACE] [--bold] [--italic] [--ini FILE] [--use] [--report] [--json]\n"
    "                    [--dry-run]\n"
    "Adds the letters of TEXT, drawn from the installed font FACE (default: Arial, bold), as shape\n"
    "records to KORUNEX.ini in the Windows folder (or FILE). --use also makes the screen saver show\n"
    "the text (at most 9 characters); --report and --json tell how close each letter came;\n"
    "--dry-run writes nothing.\n";

struct ToolOptions {
    std::string text, font = "Arial", ini;
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
        } else if (ReadTextSwitch(arg, options.switches)) {
        } else if (arg.starts_with("--") || haveText) {
            return "unknown option '" + arg + "'";
        } else {
            options.text = arg;
            haveText = true;
        }
    }
    if (!haveText) return "the TEXT to turn into letters is missing";
    if (!fontGiven) options.bold = true;  // the default is Arial bold
    return "";
}

int Fail(const std::string& message, int status) {
    std::fprintf(stderr, "korunex-text: %s\n", message.c_str());
    return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(Utf8(argv[i]));
    ToolOptions options;
    if (const std::string problem = ReadToolOptions(args, options); !problem.empty()) {
        std::fprintf(stderr, "korunex-text: %s\n%s", problem.c_str(), kUsage);
        return 2;
    }

    std::string problem;
    FontFace style;
    style.bold = options.bold;
    style.italic = options.italic;
    const std::optional<FontFace> face = FindFont(options.font, problem, style);
    if (!face) return Fail(problem, 1);
    std::optional<TextLetters> letters = LoadLetters(options.text, *face, problem);
    if (!letters) return Fail(problem, 1);

    ProfileNames names;
    LoadKeyNames(names);
    // A bare file name is the file in the Windows folder, where the saver reads it.
    const std::string file = options.ini.empty() ? names.iniFile : options.ini;
    Win32ProfileStore store(file.c_str());
    // The profile calls keep a name in the code page in any file, with or without a byte-order mark.
    if (letters->missing.empty())
        if (const std::optional<std::string> refusal = RefuseBeforeFit(
                *letters, options.switches.useText, ReadFileRecords(store, names), NameBytes::kCodePage))
            return Fail(file + ": " + *refusal, 1);
    FitLetters(*letters);
    std::optional<ShapeFileUpdate> update;
    if (letters->missing.empty())
        update = PlanTextRecords(store, names, LetterRecords(*letters, NameBytes::kCodePage),
                                 options.switches.useText, problem);
    const bool writes = update && !update->writes.empty() && !options.switches.dryRun;
    if (writes && !WriteTextRecords(store, *update))
        return Fail("cannot write " + file + " (is it read-only, or its folder not yours to write?)", 1);

    if (options.switches.json)
        std::fputs(FormatLetterJson(*letters, update, file, writes).c_str(), stdout);
    else if (options.switches.report)
        std::fputs(FormatLetterReport(*letters, update).c_str(), stdout);
    for (char32_t character : letters->missing)
        Fail(MissingGlyphMessage(*letters, character) + "; try another --font", 1);
    if (!letters->missing.empty()) return 1;
    if (!update) return Fail(file + ": " + problem, 1);
    if (!options.switches.json)
        std::fputs(FormatLetterSummary(*letters, *update, file, options.switches).c_str(), stdout);
    return 0;
}

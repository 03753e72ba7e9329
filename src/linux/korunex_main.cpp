// korunex: the Linux front end of the saver's portable core.

#include <cstdio>
#include <string>
#include <string_view>

#include "linux/command_line.h"
#include "linux/terminal_text.h"

namespace {

constexpr char kUsage[] =
    "usage: korunex [saver] [--ini FILE] [--set KEY=VALUE ...] [--window | --root | --window-id ID] [--fps]\n"
    "       korunex [saver] --wayland [--ini FILE] [--set KEY=VALUE ...]\n"
    "       korunex shapes [--ini FILE] [--check]\n"
    "       korunex scene [--ini FILE] [--set KEY=VALUE ...] [--size WxH] [--frames N] [--seed S]\n"
    "       korunex render [--ini FILE] [--set KEY=VALUE ...] [--size WxH] [--frames N] [--every K]\n"
    "                      [--seed S] --out DIR [--sheet FILE.png]\n"
    "       korunex text TEXT [--font PATTERN|FILE] [--ini FILE] [--use] [--report] [--json]\n"
    "                    [--dry-run] [--preview FILE.png [--set KEY=VALUE ...] [--size WxH]\n"
    "                    [--frames N] [--every K] [--seed S]]\n"
    "       korunex text --clock [FORMAT] [--font PATTERN|FILE] [--ini FILE] [--dry-run] ...\n"
    "KEY is a setting of the settings file, e.g. --set COLOR=5 --set STEPRAG=3.\n"
    "saver, scene and render also take --text TEXT [--font PATTERN|FILE]: the letters of TEXT,\n"
    "built for that run only. PATTERN is a fontconfig pattern such as \"DejaVu Sans:bold\".\n"
    "They also take --clock [FORMAT]: the time (a strftime FORMAT, the file's or %H:%M:%S) shown by\n"
    "the records named by its characters; scene and render start it at --at HH:MM:SS and move it on\n"
    "TIMER a frame. text --clock adds the records the time's characters lack and turns the clock on.\n"
    "Options may be given with one dash as well: -root, -window-id ID, -fps.\n"
    "-- ends the options, so that a TEXT may start with a dash: korunex text -- -1.\n";

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string_view command = argc > 1 ? argv[1] : "";
        const bool asksForHelp = command == "--help" || command == "-help" || command == "-h" || command == "help";
        if (command.empty() || (command.starts_with('-') && !asksForHelp))
            return RunSaverCommand(ReadOptions(argc, argv, 1, Command::kSaver));
        if (command == "saver") return RunSaverCommand(ReadOptions(argc, argv, 2, Command::kSaver));
        if (command == "shapes") return RunShapesCommand(ReadOptions(argc, argv, 2, Command::kShapes));
        if (command == "scene") return RunSceneCommand(ReadOptions(argc, argv, 2, Command::kScene));
        if (command == "render") return RunRenderCommand(ReadOptions(argc, argv, 2, Command::kRender));
        if (command == "text") return RunTextCommand(ReadOptions(argc, argv, 2, Command::kText));
        if (asksForHelp) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        throw UsageError{"unknown command '" + std::string(command) + "'"};
    } catch (const UsageError& error) {
        PrintProblem(error.message);
        std::fputs(kUsage, stderr);
        return 2;
    } catch (const FileError& error) {
        PrintProblem(error.message);
        return 2;
    }
}

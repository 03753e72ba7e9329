// korunex: the Linux front end of the saver's portable core.

#include <cstdio>
#include <string>
#include <string_view>

#include "linux/command_line.h"

namespace {

constexpr char kUsage[] =
    "usage: korunex shapes [--ini FILE] [--check]\n"
    "       korunex scene [--ini FILE] [--size WxH] [--frames N] [--seed S]\n"
    "       korunex render [--ini FILE] [--size WxH] [--frames N] [--every K] [--seed S] --out DIR\n"
    "                      [--sheet FILE.png]\n";

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string_view command = argc > 1 ? argv[1] : "";
        if (command == "shapes") return RunShapesCommand(ReadOptions(argc, argv, 2));
        if (command == "scene") return RunSceneCommand(ReadOptions(argc, argv, 2));
        if (command == "render") return RunRenderCommand(ReadOptions(argc, argv, 2));
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

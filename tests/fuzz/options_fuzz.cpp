// Any argument list for any korunex command: the options are read or
// refused with a message, never anything else, and what is read keeps to
// its limits.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "linux/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte picks the command; the rest are the arguments, split at NUL bytes.
    const auto command = Command(data[0] % 5);
    std::vector<std::string> arguments{"korunex"};
    std::string argument;
    for (size_t i = 1; i < size; ++i) {
        if (data[i] != 0) {
            argument += char(data[i]);
            continue;
        }
        arguments.push_back(std::move(argument));
        argument.clear();
    }
    arguments.push_back(std::move(argument));
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);

    try {
        const Options options = ReadOptions(int(arguments.size()), argv.data(), 1, command);
        const bool sizes = options.width >= 1 && options.width <= 16384 && options.height >= 1 && options.height <= 16384;
        const bool counts = options.frames >= 0 && options.frames <= 1'000'000 && options.every >= 1;
        if (!sizes || !counts) std::abort();
        if (command == Command::kText && !options.text && !options.clock) std::abort();
        // The clock chooses the letters, a text cannot as well (the saver drops the text); --at is its time.
        if (options.clock && options.text && command != Command::kSaver) std::abort();
        if (options.at && (!options.clock || *options.at < 0 || *options.at >= 86'400)) std::abort();
        for (const std::optional<std::string>* value : {&options.ini, &options.out, &options.sheet, &options.preview})
            if (*value && (*value)->empty()) std::abort();
    } catch (const UsageError& error) {
        if (error.message.empty()) std::abort();
    }
    return 0;
}

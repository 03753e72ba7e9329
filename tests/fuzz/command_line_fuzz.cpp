// Any command line: the tail and the switch are read without leaving the text.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/run_mode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte picks the platform family; the rest is the command line.
    const bool legacy = data[0] & 1;
    const std::string line(reinterpret_cast<const char*>(data + 1), size - 1);
    const char* begin = line.c_str();
    const char* end = begin + line.size();

    const char* tail = CutArgumentTail(begin, NextByte);
    if (tail < begin || tail > end) std::abort();
    const RunSwitch run = ReadRunSwitch(tail, legacy);
    if (run.numberText && (run.numberText < tail || run.numberText > end)) std::abort();
    if (run.mode == RunMode::kPasswordChange && !legacy) std::abort();
    return 0;
}

#include "raster/case_runner.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <vector>

#include "raster/raster_calls.h"

namespace {

// Compares the cases drawn with those of a picture written before, case by
// case; names the first differing case and writes it as a script when seeded.
int CompareCases(const char* path, const std::vector<uint8_t>& picture, int32_t width, int32_t height, int count,
                 long seed) {
    std::ifstream file(path, std::ios::binary);
    std::string magic;
    int32_t w = 0, h = 0, depth = 0;
    file >> magic >> w >> h >> depth;
    file.get();
    std::vector<uint8_t> expected(size_t(w) * h * 3);
    if (!file.read(reinterpret_cast<char*>(expected.data()), std::streamsize(expected.size())) || magic != "P6" ||
        w != width || h != height * count) {
        std::fprintf(stderr, "%s: not a picture of %d cases of %dx%d\n", path, count, width, height);
        return 1;
    }
    const size_t caseBytes = size_t(width) * height * 3;
    long differingCases = 0, differingPixels = 0, first = -1;
    for (int k = 0; k < count; ++k) {
        long pixels = 0;
        for (size_t i = k * caseBytes; i < (k + 1) * caseBytes; i += 3)
            pixels += std::memcmp(&picture[i], &expected[i], 3) != 0;
        if (pixels == 0) continue;
        if (first < 0) first = k;
        ++differingCases, differingPixels += pixels;
    }
    std::printf("%d cases of %dx%d compared: %ld differ, %ld differing pixels\n", count, width, height,
                differingCases, differingPixels);
    if (first >= 0 && seed >= 0) {
        std::printf("the first differing case, %ld:\n", first);
        WriteSeededCase(uint32_t(seed), int(first), width, height, std::cout);
    }
    return differingCases == 0 ? 0 : 1;
}

}  // namespace

int RunRasterCases(int argc, char** argv, const std::function<Raster&(int32_t, int32_t)>& makeRaster,
                   const std::function<void()>& clearWindow, const ReadWindowPixel& readPixel) {
    int32_t width = 0, height = 0;
    const char *script = nullptr, *out = nullptr, *expected = nullptr;
    long seed = -1, cases = 0, printed = -1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--size")) std::sscanf(argv[i + 1], "%dx%d", &width, &height);
        else if (!std::strcmp(argv[i], "--script")) script = argv[i + 1];
        else if (!std::strcmp(argv[i], "--seed")) seed = std::strtol(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--cases")) cases = std::strtol(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--out")) out = argv[i + 1];
        else if (!std::strcmp(argv[i], "--expect")) expected = argv[i + 1];
        else if (!std::strcmp(argv[i], "--print-case")) printed = std::strtol(argv[i + 1], nullptr, 10);
    }
    if (printed >= 0 && seed >= 0 && width > 0 && height > 0) {
        WriteSeededCase(uint32_t(seed), int(printed), width, height, std::cout);
        return 0;
    }
    if (width < 1 || height < 1 || width > 4096 || height > 4096 || (!out && !expected) ||
        (!script && (seed < 0 || cases < 1))) {
        std::fprintf(stderr, "usage: %s --size WxH (--script FILE | --seed S --cases N) (--out | --expect) FILE.ppm\n",
                     argv[0]);
        return 2;
    }
    Raster& raster = makeRaster(width, height);
    std::vector<uint8_t> picture;
    auto keepCase = [&](int) {
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t pixel = readPixel(x, y);
                picture.insert(picture.end(), {uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel)});
            }
        clearWindow();
    };
    clearWindow();
    int count = 0;
    if (script) {
        std::ifstream in(script);
        std::string error;
        count = in ? DrawScript(in, raster, width, height, keepCase, error) : -1;
        if (count < 0) {
            std::fprintf(stderr, "%s: %s\n", script, in ? error.c_str() : "cannot read");
            return 1;
        }
    } else {
        for (; count < cases; ++count) DrawSeededCase(uint32_t(seed), count, raster, width, height), keepCase(count);
    }
    if (expected) return CompareCases(expected, picture, width, height, count, script ? -1 : seed);
    std::ofstream file(out, std::ios::binary);
    file << "P6\n" << width << " " << height * count << "\n255\n";
    file.write(reinterpret_cast<const char*>(picture.data()), std::streamsize(picture.size()));
    if (!file.flush()) {
        std::fprintf(stderr, "cannot write %s\n", out);
        return 1;
    }
    return 0;
}

// Pictures as pixels, whatever encoder wrote them:
//   picture_tool pixels FILE.png        the pixels as RGB bytes, row by row, for a digest
//   picture_tool compare A B            two PNG files, or every PNG file of folder A against
//                                       the one of the same name in folder B: counts the
//                                       pixels that differ; exit status 1 when any do

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB
};

bool Read(const fs::path& path, Picture& picture) {
    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    const bool read = cairo_surface_status(image) == CAIRO_STATUS_SUCCESS;
    if (read) {
        picture.width = cairo_image_surface_get_width(image), picture.height = cairo_image_surface_get_height(image);
        const int stride = cairo_image_surface_get_stride(image);
        const unsigned char* data = cairo_image_surface_get_data(image);
        picture.pixels.resize(size_t(picture.width) * picture.height);
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                picture.pixels[size_t(y) * picture.width + x] =
                    reinterpret_cast<const uint32_t*>(data + size_t(y) * stride)[x] & 0xFFFFFF;
    } else {
        std::fprintf(stderr, "picture_tool: cannot read %s\n", path.c_str());
    }
    cairo_surface_destroy(image);
    return read;
}

// Differing pixels of two files (-1 when unreadable or of other sizes), with the first one named.
long Compare(const fs::path& a, const fs::path& b) {
    Picture pa, pb;
    if (!Read(a, pa) || !Read(b, pb)) return -1;
    if (pa.width != pb.width || pa.height != pb.height) {
        std::printf("%s: %dx%d against %dx%d\n", a.c_str(), pa.width, pa.height, pb.width, pb.height);
        return -1;
    }
    long differing = 0;
    for (size_t i = 0; i < pa.pixels.size(); ++i) {
        if (pa.pixels[i] == pb.pixels[i]) continue;
        if (differing++ == 0)
            std::printf("%s: first difference at (%zu, %zu): %06x against %06x\n", a.filename().c_str(),
                        i % pa.width, i / pa.width, pa.pixels[i], pb.pixels[i]);
    }
    return differing;
}

int CompareAll(const fs::path& a, const fs::path& b) {
    std::vector<fs::path> files;
    if (fs::is_directory(a)) {
        for (const auto& entry : fs::directory_iterator(a))
            if (entry.path().extension() == ".png") files.push_back(entry.path().filename());
        std::sort(files.begin(), files.end());
    }
    long total = 0, pictures = 0, failed = 0;
    auto one = [&](const fs::path& x, const fs::path& y) {
        const long differing = Compare(x, y);
        ++pictures;
        if (differing != 0) ++failed, total += std::max(differing, 0L);
        if (differing > 0) std::printf("%s: %ld pixels differ\n", x.c_str(), differing);
    };
    if (files.empty() && !fs::is_directory(a)) one(a, b);
    for (const fs::path& name : files) one(a / name, b / name);
    std::printf("%ld pictures compared, %ld differ, %ld differing pixels\n", pictures, failed, total);
    return pictures > 0 && failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && !std::strcmp(argv[1], "pixels")) {
        Picture picture;
        if (!Read(argv[2], picture)) return 1;
        for (const uint32_t pixel : picture.pixels) {
            const unsigned char rgb[3] = {uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel)};
            std::fwrite(rgb, 1, 3, stdout);
        }
        return 0;
    }
    if (argc == 4 && !std::strcmp(argv[1], "compare")) return CompareAll(argv[2], argv[3]);
    std::fprintf(stderr, "usage: picture_tool pixels FILE.png | picture_tool compare A B\n");
    return 2;
}

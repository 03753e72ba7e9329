// korunex-render.exe: frames of the real Windows raster written as PNG files,
// with the arguments of `korunex render`, so that any scene can be drawn by
// both and compared. A test program; never shipped.
//   korunex-render.exe --ini FILE --size WxH --frames N [--every K] [--seed S] --out DIR

#include <wincodec.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "render/desktop_picture.h"
#include "render/frame_cycle.h"
#include "render/gdi_raster_win32.h"
#include "settings/profile_store_win32.h"

namespace {

// A 32-bit top-down picture in a memory context: the window, or the snapshot.
class DibPicture {
public:
    DibPicture(int32_t width, int32_t height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~DibPicture() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    DibPicture(const DibPicture&) = delete;
    DibPicture& operator=(const DibPicture&) = delete;

    bool IsMade() const { return bits_ != nullptr && dc_ != nullptr; }
    HDC dc() const { return dc_; }
    PixelImage Pixels() {
        GdiFlush();
        return {bits_, width_, height_, width_};
    }

private:
    int32_t width_, height_;
    uint32_t* bits_ = nullptr;
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ previous_;
};

template <typename T>
struct Released {
    void operator()(T* object) const { object->Release(); }
};
template <typename T>
using Com = std::unique_ptr<T, Released<T>>;

// Writes the picture as a PNG file through the platform's imaging component.
bool WritePng(IWICImagingFactory* factory, const std::string& path, const PixelImage& picture) {
    std::wstring widePath(path.size() + 1, L'\0');
    widePath.resize(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath.data(), int(widePath.size())) - 1);
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    if (FAILED(factory->CreateStream(&stream))) return false;
    const Com<IWICStream> streamOwner(stream);
    if (FAILED(stream->InitializeFromFilename(widePath.c_str(), GENERIC_WRITE)) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)))
        return false;
    const Com<IWICBitmapEncoder> encoderOwner(encoder);
    if (FAILED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) || FAILED(encoder->CreateNewFrame(&frame, nullptr)))
        return false;
    const Com<IWICBitmapFrameEncode> frameOwner(frame);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->Initialize(nullptr)) || FAILED(frame->SetSize(picture.width, picture.height)) ||
        FAILED(frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR)
        return false;
    const UINT stride = UINT(picture.width) * 3;
    std::vector<BYTE> rows(size_t(stride) * picture.height);
    for (int32_t y = 0; y < picture.height; ++y)
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint32_t pixel = picture.Row(y)[x];
            BYTE* out = &rows[size_t(y) * stride + size_t(x) * 3];
            out[0] = BYTE(pixel), out[1] = BYTE(pixel >> 8), out[2] = BYTE(pixel >> 16);
        }
    return SUCCEEDED(frame->WritePixels(picture.height, stride, UINT(rows.size()), rows.data())) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

struct Arguments {
    std::string ini, out;
    int32_t width = 1280, height = 720, frames = 1, every = 1;
    bool seeded = false;
    uint32_t seed = 0;
};

bool ReadArguments(int argc, char** argv, Arguments& args) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const char *name = argv[i], *value = argv[i + 1];
        if (!std::strcmp(name, "--ini")) args.ini = value;
        else if (!std::strcmp(name, "--out")) args.out = value;
        else if (!std::strcmp(name, "--size")) { if (std::sscanf(value, "%dx%d", &args.width, &args.height) != 2) return false; }
        else if (!std::strcmp(name, "--frames")) args.frames = std::atoi(value);
        else if (!std::strcmp(name, "--every")) args.every = std::atoi(value);
        else if (!std::strcmp(name, "--seed")) args.seeded = true, args.seed = uint32_t(std::strtoul(value, nullptr, 10));
        else return false;
    }
    return argc % 2 == 1 && !args.ini.empty() && !args.out.empty() && args.width >= 1 && args.height >= 1 &&
           args.width <= 16384 && args.height <= 16384 && args.frames >= 1 && args.every >= 1;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!ReadArguments(argc, argv, args)) {
        std::fprintf(stderr, "usage: korunex-render.exe --ini FILE --size WxH --frames N [--every K] [--seed S] --out DIR\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)))) {
        std::fprintf(stderr, "korunex-render: no imaging component\n");
        return 1;
    }
    const Com<IWICImagingFactory> factoryOwner(factory);

    const Win32ProfileStore store(args.ini.c_str());
    ProfileNames names;
    LoadKeyNames(names);
    auto settings = std::make_unique<SaverSettings>();
    auto scene = std::make_unique<LogoScene>();
    CreateLogo(store, names, *settings, *scene, args.width, args.height);
    if (args.seeded) SeedRandom(*scene, args.seed);

    // The window starts black when the saver clears the screen, else showing the desktop.
    DibPicture window(args.width, args.height), desktop(args.width, args.height);
    if (!window.IsMade() || !desktop.IsMade()) {
        std::fprintf(stderr, "korunex-render: no memory for %dx%d pictures\n", args.width, args.height);
        return 1;
    }
    PaintDesktopPicture(desktop.Pixels());
    if (ChooseFirstPicture(*settings) == FirstPicture::kBlack) {
        const RECT all{0, 0, args.width, args.height};
        FillRect(window.dc(), &all, HBRUSH(GetStockObject(BLACK_BRUSH)));
    } else {
        BitBlt(window.dc(), 0, 0, args.width, args.height, desktop.dc(), 0, 0, SRCCOPY);
    }
    const bool takesSnapshot = ChooseBackground(*settings) == Background::kSnapshot;
    GdiRaster raster(window.dc(), takesSnapshot ? desktop.dc() : nullptr);

    CreateDirectoryA(args.out.c_str(), nullptr);
    WindowBox previous = FirstPreviousBox(*scene);
    for (int k = 0; k < args.frames; ++k) {
        previous = RenderFrame(*scene, *settings, raster, previous);
        if (k % args.every != 0) continue;
        char name[32];
        std::snprintf(name, sizeof name, "\\frame-%04d.png", k);
        const std::string path = args.out + name;
        if (!WritePng(factory, path, window.Pixels())) {
            std::fprintf(stderr, "korunex-render: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}

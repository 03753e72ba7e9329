// korunex render: frames drawn headless into PNG files, and a contact sheet.

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "linux/frame_clock.h"
#include "linux/setting_overrides.h"
#include "linux/cairo_surface.h"
#include "linux/command_line.h"
#include "linux/saver_store.h"
#include "linux/terminal_text.h"
#include "render/desktop_picture.h"
#include "render/frame_cycle.h"
#include "scene/logo_clock.h"
#include "render/span_raster.h"

namespace {

// The pixels of an image surface, for the raster to draw into.
PixelImage PixelsOf(cairo_surface_t* image) {
    cairo_surface_flush(image);
    return {reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(image)), cairo_image_surface_get_width(image),
            cairo_image_surface_get_height(image), cairo_image_surface_get_stride(image) / 4};
}

// A grid of scaled-down frames, filled in as they are drawn.
class ContactSheet {
public:
    ContactSheet(int count, int32_t width, int32_t height) {
        columns_ = std::max(1, int(std::ceil(std::sqrt(double(count)))));
        const int rows = (count + columns_ - 1) / columns_;
        scale_ = std::min(1.0, 320.0 / width);
        cellWidth_ = int(std::ceil(width * scale_)) + kGap;
        cellHeight_ = int(std::ceil(height * scale_)) + kGap;
        sheet_.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, columns_ * cellWidth_ + kGap,
                                                rows * cellHeight_ + kGap));
        cairo_t* cr = cairo_create(sheet_.get());
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    void Add(cairo_surface_t* frame) {
        cairo_t* cr = cairo_create(sheet_.get());
        cairo_translate(cr, kGap + (added_ % columns_) * cellWidth_, kGap + (added_ / columns_) * cellHeight_);
        cairo_scale(cr, scale_, scale_);
        cairo_set_source_surface(cr, frame, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        ++added_;
    }
    bool Write(const std::string& path) const {
        return cairo_surface_write_to_png(sheet_.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
    }

private:
    static constexpr int kGap = 8;
    Surface sheet_;
    int columns_, cellWidth_, cellHeight_, added_ = 0;
    double scale_;
};

}  // namespace

namespace {

std::string FramePath(const std::string& folder, int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04d.png", frame);
    return (std::filesystem::path(folder) / name).string();
}

// Every picture the run will write, checked before the first is: none may
// be the settings file, whatever its name or links.
void CheckPictures(const Options& options, const std::filesystem::path& settingsFile) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(*options.out, error);
    if (!fs::is_directory(*options.out, error))
        throw FileError{"--out " + *options.out + ": cannot make that folder" + (error ? ": " + error.message() : "")};
    for (int k = 0; k < std::max(options.frames, 1); k += options.every)
        CheckPictureOutput(FramePath(*options.out, k), settingsFile);
    if (options.sheet) CheckPictureOutput(*options.sheet, settingsFile);
}

}  // namespace

int RunRenderCommand(const Options& options) {
    if (!options.out) throw UsageError{"render needs --out DIR"};
    ProfileNames names;
    LoadKeyNames(names);
    const IniFileStore file = OpenStore(options, names);
    CheckPictures(options, file.path());
    const SaverStore letters(file, names, options.text, options.font.value_or(kDefaultFont), options.overrides);
    const ClockOverride clock(letters, names, options.clock.value_or(""));
    return DrawFrames(options.clock ? static_cast<const ProfileStore&>(clock) : letters, names, options);
}

int DrawFrames(const ProfileStore& store, ProfileNames& names, const Options& options) {
    const int frames = options.frames > 0 ? options.frames : 1;
    auto settings = std::make_unique<SaverSettings>();
    auto scene = std::make_unique<LogoScene>();
    CreateLogo(store, names, *settings, *scene, options.width, options.height);
    if (options.seed) SeedRandom(*scene, *options.seed);
    LogoClock clock(store, names);
    const FrameClock time(options.at);
    if (clock.IsOn()) clock.Show(time.TimeOfFrame(0, settings->TIMER), *settings, *scene);

    // The headless window lies on a desktop that shows our own picture, which
    // is also what a snapshot of it gives.
    std::vector<uint32_t> desktopPixels(size_t(options.width) * options.height);
    const PixelImage desktop{desktopPixels.data(), options.width, options.height, options.width};
    PaintDesktopPicture(desktop);
    const Surface window(cairo_image_surface_create(CAIRO_FORMAT_RGB24, options.width, options.height));
    const PixelImage windowPixels = PixelsOf(window.get());
    const bool startsBlack = ChooseFirstPicture(*settings) == FirstPicture::kBlack;
    for (int32_t y = 0; y < options.height; ++y)
        startsBlack ? std::fill_n(windowPixels.Row(y), options.width, 0u)
                    : std::copy_n(desktop.Row(y), options.width, windowPixels.Row(y));
    const bool takesSnapshot = ChooseBackground(*settings) == Background::kSnapshot;
    SpanRaster raster(windowPixels, takesSnapshot ? desktop : PixelImage{});

    std::unique_ptr<ContactSheet> sheet;
    if (options.sheet) sheet = std::make_unique<ContactSheet>((frames + options.every - 1) / options.every,
                                                              options.width, options.height);
    WindowBox previous = FirstPreviousBox(*scene);
    for (int k = 0; k < frames; ++k) {
        if (clock.IsOn()) clock.Show(time.TimeOfFrame(k, settings->TIMER), *settings, *scene);
        previous = RenderFrame(*scene, *settings, raster, previous);
        if (k % options.every != 0) continue;
        cairo_surface_mark_dirty(window.get());
        if (sheet) sheet->Add(window.get());
        if (!options.out) continue;
        const std::string path = FramePath(*options.out, k);
        if (cairo_surface_write_to_png(window.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
            PrintProblem("cannot write " + path);
            return 1;
        }
        std::printf("%s\n", ForTerminal(path).c_str());
    }
    if (sheet) {
        if (!sheet->Write(*options.sheet)) {
            PrintProblem("cannot write " + *options.sheet);
            return 1;
        }
        std::printf("%s\n", ForTerminal(*options.sheet).c_str());
    }
    return 0;
}

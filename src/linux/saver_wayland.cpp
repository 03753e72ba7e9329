#include "linux/saver_wayland.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "host/area_logo.h"
#include "linux/output_view_wayland.h"
#include "linux/seat_wayland.h"
#include "render/frame_cycle.h"
#include "render/span_raster.h"

namespace {

volatile std::sig_atomic_t gStopRequested = 0;

void RequestStop(int) { gStopRequested = 1; }

int64_t NowMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

constexpr int64_t kMaxPicturePixels = int64_t(8) * 3840 * 2160;

// The part of `image` under `rect`; no pixels when it has none.
PixelImage PartOf(const PixelImage& image, const ScreenRect& rect) {
    if (!image.pixels) return {};
    return {image.Row(rect.top) + rect.left, rect.width, rect.height, image.stride};
}

template <typename T>
T* Bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered, uint32_t highest) {
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, highest)));
}

// The logos' whole life on the compositor's outputs.
class WaylandSaver {
public:
    WaylandSaver(wl_display* display, const ProfileStore& store) : display_(display), store_(store) {
        LoadKeyNames(names_);
        LoadSettings(store_, names_, settings_);
    }
    ~WaylandSaver();

    int Run();

private:
    static const wl_registry_listener kRegistryListener;
    static const xdg_wm_base_listener kWmBaseListener;

    void AddGlobal(uint32_t name, const char* interface, uint32_t version);
    void RemoveGlobal(uint32_t name);
    void DropRemovedViews();
    std::optional<SurfacePlace> PlaceOf(wl_surface* surface) const;
    bool HasEnded() const { return seat_ && seat_->HasEnded(); }
    void StartViews();
    void LayOut();
    void ComposeSnapshot(const std::vector<OutputView*>& placed, const std::vector<Monitor>& monitors);
    void NoteChange(const PixelBox& box);
    void ShowChanges();
    void DrawFrames();
    bool Dispatch(int timeoutMs);  // false: the connection failed
    int Loop();

    wl_display* display_;
    const ProfileStore& store_;
    ProfileNames names_{};
    SaverSettings settings_{};  // the timer and the background; each logo loads its own
    wl_registry* registry_ = nullptr;
    WaylandGlobals globals_;
    std::unique_ptr<WaylandSeat> seat_;
    std::vector<std::unique_ptr<OutputView>> views_;
    std::vector<uint32_t> removedNames_;  // outputs gone, whose views are still there
    bool needsLayout_ = false;

    // The picture of all outputs side by side, in the order the compositor
    // listed them; each view shows its box of it.
    std::vector<uint32_t> picture_, snapshot_;
    int32_t pictureWidth_ = 0, pictureHeight_ = 0;
    std::vector<std::unique_ptr<AreaLogo>> logos_;
    std::vector<std::unique_ptr<SpanRaster>> rasters_;  // those of logos_ in turn
};

const wl_registry_listener WaylandSaver::kRegistryListener = {
    .global = [](void* data, wl_registry*, uint32_t name, const char* interface,
                 uint32_t version) { static_cast<WaylandSaver*>(data)->AddGlobal(name, interface, version); },
    .global_remove = [](void* data, wl_registry*, uint32_t name) { static_cast<WaylandSaver*>(data)->RemoveGlobal(name); },
};

const xdg_wm_base_listener WaylandSaver::kWmBaseListener = {
    .ping = [](void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); },
};

WaylandSaver::~WaylandSaver() {
    rasters_.clear();
    views_.clear();
    seat_.reset();
    if (globals_.screencopy) zwlr_screencopy_manager_v1_destroy(globals_.screencopy);
    if (globals_.fractionalScale) wp_fractional_scale_manager_v1_destroy(globals_.fractionalScale);
    if (globals_.viewporter) wp_viewporter_destroy(globals_.viewporter);
    if (globals_.wmBase) xdg_wm_base_destroy(globals_.wmBase);
    if (globals_.layerShell) zwlr_layer_shell_v1_destroy(globals_.layerShell);
    if (globals_.shm) wl_shm_destroy(globals_.shm);
    if (globals_.compositor) wl_compositor_destroy(globals_.compositor);
    if (registry_) wl_registry_destroy(registry_);
}

void WaylandSaver::AddGlobal(uint32_t name, const char* interface, uint32_t version) {
    const auto is = [interface](const wl_interface& known) { return std::strcmp(interface, known.name) == 0; };
    if (is(wl_compositor_interface)) {
        globals_.compositor = Bind<wl_compositor>(registry_, name, &wl_compositor_interface, version, 4);
    } else if (is(wl_shm_interface)) {
        globals_.shm = Bind<wl_shm>(registry_, name, &wl_shm_interface, version, 1);
    } else if (is(zwlr_layer_shell_v1_interface)) {
        globals_.layerShell = Bind<zwlr_layer_shell_v1>(registry_, name, &zwlr_layer_shell_v1_interface, version, 4);
    } else if (is(xdg_wm_base_interface)) {
        globals_.wmBase = Bind<xdg_wm_base>(registry_, name, &xdg_wm_base_interface, version, 5);
        xdg_wm_base_add_listener(globals_.wmBase, &kWmBaseListener, this);
    } else if (is(wp_viewporter_interface)) {
        globals_.viewporter = Bind<wp_viewporter>(registry_, name, &wp_viewporter_interface, version, 1);
    } else if (is(wp_fractional_scale_manager_v1_interface)) {
        globals_.fractionalScale = Bind<wp_fractional_scale_manager_v1>(
            registry_, name, &wp_fractional_scale_manager_v1_interface, version, 1);
    } else if (is(zwlr_screencopy_manager_v1_interface)) {
        globals_.screencopy =
            Bind<zwlr_screencopy_manager_v1>(registry_, name, &zwlr_screencopy_manager_v1_interface, version, 1);
    } else if (is(wl_seat_interface) && !seat_) {
        // The first seat: that of the person in front of the screen.
        seat_ = std::make_unique<WaylandSeat>(Bind<wl_seat>(registry_, name, &wl_seat_interface, version, 5),
                                              [this](wl_surface* surface) { return PlaceOf(surface); });
    } else if (is(wl_output_interface)) {
        auto* output = Bind<wl_output>(registry_, name, &wl_output_interface, version, 4);
        views_.push_back(std::make_unique<OutputView>(name, output));
    }
}

// Events may come while the views are gone through (a screen copy waits
// for its frame): a removed output's view goes at the next DropRemovedViews.
void WaylandSaver::RemoveGlobal(uint32_t name) { removedNames_.push_back(name); }

void WaylandSaver::DropRemovedViews() {
    for (const uint32_t name : removedNames_) {
        const auto gone =
            std::find_if(views_.begin(), views_.end(), [name](const auto& v) { return v->GlobalName() == name; });
        if (gone == views_.end()) continue;
        views_.erase(gone);
        needsLayout_ = true;
    }
    removedNames_.clear();
}

std::optional<SurfacePlace> WaylandSaver::PlaceOf(wl_surface* surface) const {
    for (const auto& view : views_)
        if (view->Owns(surface)) return view->Place();
    return std::nullopt;
}

// Outputs the compositor has described get their surface; with the desktop
// kept, their picture is copied first, while nothing of ours covers them.
void WaylandSaver::StartViews() {
    for (size_t i = 0; i < views_.size(); ++i) {
        OutputView* view = views_[i].get();
        if (view->HasSurface() || !view->IsDescribed()) continue;
        if (settings_.BKMODE == 0 && globals_.screencopy)
            view->KeepSnapshot(CopyOutput(display_, globals_.shm, globals_.screencopy, view->Output()));
        view->CreateSurface(globals_);
    }
}

// The views with a size, side by side; the logos over them as GAMEN says,
// the first view standing for the primary monitor.
void WaylandSaver::LayOut() {
    needsLayout_ = false;
    rasters_.clear();
    std::vector<Monitor> monitors;
    std::vector<OutputView*> placed;
    int32_t width = 0, height = 0;
    for (const auto& view : views_) {
        if (!view->HasSurface() || !view->IsConfigured()) continue;
        const ScreenRect rect{width, 0, view->PixelWidth(), view->PixelHeight()};
        // Outputs beyond the largest picture we make (eight 4K screens) show nothing.
        const int64_t area = (int64_t(width) + rect.width) * std::max(height, rect.height);
        if (rect.width <= 0 || rect.height <= 0 || area > kMaxPicturePixels) continue;
        monitors.push_back({rect, monitors.empty(), view->Dpi()});
        placed.push_back(view.get());
        width += rect.width;
        height = std::max(height, rect.height);
    }
    pictureWidth_ = width, pictureHeight_ = height;
    picture_.assign(size_t(width) * height, 0);
    ComposeSnapshot(placed, monitors);
    // What the saver shows before its first frame: a surface shows nothing of what lies behind it.
    if (ChooseFirstPicture(settings_) != FirstPicture::kBlack && !snapshot_.empty())
        std::copy(snapshot_.begin(), snapshot_.end(), picture_.begin());
    const PixelImage picture{picture_.data(), width, height, width};
    const PixelImage snapshot = snapshot_.empty() ? PixelImage{} : PixelImage{snapshot_.data(), width, height, width};

    logos_.clear();
    if (!placed.empty()) {
        const ScreenRect window{0, 0, width, height};
        logos_ = CreateAreaLogos(store_, names_,
                                 LayOutLogos(LoadMonitorMode(store_, names_), window, monitors, uint32_t(NowMilliseconds())));
    }
    for (const auto& logo : logos_) {
        const ScreenRect rect = logo->area.rect;
        auto show = [this, rect](int32_t x, int32_t y, int32_t w, int32_t h) {
            NoteChange({rect.left + x, rect.top + y, rect.left + x + w, rect.top + y + h});
        };
        rasters_.push_back(std::make_unique<SpanRaster>(PartOf(picture, rect), PartOf(snapshot, rect), show));
    }
    for (size_t i = 0; i < placed.size(); ++i) {
        const ScreenRect& rect = monitors[i].rect;
        placed[i]->Assign({rect.left, rect.top, rect.left + rect.width, rect.top + rect.height});
    }
    ShowChanges();
}

// The desktop behind the logos: each view's own copy in its box of the
// picture, black where it has none; no snapshot when no view has one.
void WaylandSaver::ComposeSnapshot(const std::vector<OutputView*>& placed, const std::vector<Monitor>& monitors) {
    snapshot_.clear();
    if (settings_.BKMODE != 0) return;
    for (size_t i = 0; i < placed.size(); ++i) {
        const OutputPicture& copy = placed[i]->Snapshot();
        if (copy.pixels.empty()) continue;
        if (snapshot_.empty()) snapshot_.assign(picture_.size(), 0);
        const ScreenRect& rect = monitors[i].rect;
        for (int32_t y = 0; y < std::min(rect.height, copy.height); ++y)
            std::copy_n(copy.pixels.data() + size_t(y) * copy.width, std::min(rect.width, copy.width),
                        snapshot_.data() + size_t(y) * pictureWidth_ + rect.left);
    }
}

void WaylandSaver::NoteChange(const PixelBox& box) {
    for (const auto& view : views_) view->NoteChange(box);
}

void WaylandSaver::ShowChanges() {
    const PixelImage picture{picture_.data(), pictureWidth_, pictureHeight_, pictureWidth_};
    for (const auto& view : views_) view->Show(picture);
}

void WaylandSaver::DrawFrames() {
    if (logos_.empty()) return;
    // Every logo has the clock or none has: the settings are the same.
    const std::tm now = logos_.front()->clock ? LocalNow() : std::tm{};
    for (size_t i = 0; i < logos_.size(); ++i) {
        AreaLogo& logo = *logos_[i];
        ShowTime(logo, now);
        logo.previousBox = RenderFrame(logo.scene, logo.settings, *rasters_[i], logo.previousBox);
    }
    ShowChanges();
}

bool WaylandSaver::Dispatch(int timeoutMs) {
    while (wl_display_prepare_read(display_) != 0)
        if (wl_display_dispatch_pending(display_) < 0) return false;
    if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(display_);
        return false;
    }
    pollfd wait{wl_display_get_fd(display_), POLLIN, 0};
    if (poll(&wait, 1, std::max(timeoutMs, 0)) > 0) {
        if (wl_display_read_events(display_) < 0) return false;
    } else {
        wl_display_cancel_read(display_);
    }
    return wl_display_dispatch_pending(display_) >= 0;
}

int WaylandSaver::Loop() {
    int64_t nextFrame = NowMilliseconds() + settings_.TIMER;
    while (!gStopRequested && !HasEnded()) {
        // A closed surface ends the saver unless its output is going away:
        // the compositor tells that by the time it answers.
        if (std::any_of(views_.begin(), views_.end(), [](const auto& v) { return v->IsClosed(); })) {
            if (wl_display_roundtrip(display_) < 0) return 1;
            DropRemovedViews();
            if (std::any_of(views_.begin(), views_.end(), [](const auto& v) { return v->IsClosed(); })) return 0;
        }
        DropRemovedViews();
        StartViews();
        for (const auto& view : views_) needsLayout_ |= view->TakeChanges();
        if (needsLayout_) LayOut();
        const int64_t now = NowMilliseconds();
        if (now >= nextFrame) {
            DrawFrames();
            // A late frame is not made up for: the next one is a whole period away.
            nextFrame = std::max(nextFrame + settings_.TIMER, NowMilliseconds() + 1);
        }
        if (!Dispatch(int(nextFrame - NowMilliseconds()))) return 1;
    }
    return 0;
}

int WaylandSaver::Run() {
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &kRegistryListener, this);
    // The globals, then what the outputs and the seat tell of themselves.
    if (wl_display_roundtrip(display_) < 0 || wl_display_roundtrip(display_) < 0) return 1;
    if (!globals_.compositor || !globals_.shm || (!globals_.layerShell && !globals_.wmBase)) {
        std::fprintf(stderr, "korunex: the Wayland compositor offers no full-screen surface to draw on\n");
        return 1;
    }
    StartViews();
    // The surfaces' sizes, before the first picture.
    if (wl_display_roundtrip(display_) < 0) return 1;
    return Loop();
}

}  // namespace

int RunSaverOnWayland(const ProfileStore& store) {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "korunex: cannot reach the Wayland compositor (WAYLAND_DISPLAY=%s)\n",
                     std::getenv("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "");
        return 1;
    }
    struct sigaction stop{};
    stop.sa_handler = RequestStop;
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGINT, &stop, nullptr);
    int status;
    {
        WaylandSaver saver(display, store);
        status = saver.Run();
    }
    wl_display_disconnect(display);
    return status;
}

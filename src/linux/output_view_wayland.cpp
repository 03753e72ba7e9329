#include "linux/output_view_wayland.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "render/frame_cycle.h"

namespace {

constexpr uint32_t kAllEdges = ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                               ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;

OutputView* ViewOf(void* data) { return static_cast<OutputView*>(data); }

// Beyond these no screen goes; they keep every size in buffer pixels within 32 bits.
constexpr int32_t kMaxScale = 8, kMaxSide = 16384;

}  // namespace

const wl_output_listener OutputView::kOutputListener = {
    .geometry = [](void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
                   int32_t) {},
    .mode =
        [](void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
            if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
            ViewOf(data)->modeWidth_ = width;
            ViewOf(data)->modeHeight_ = height;
        },
    .done =
        [](void* data, wl_output*) {
            OutputView* view = ViewOf(data);
            if (view->pendingScale_ != view->scale_) view->hasChanged_ = true;
            view->scale_ = view->pendingScale_;
            view->isDescribed_ = true;
        },
    .scale = [](void* data, wl_output*, int32_t factor) { ViewOf(data)->pendingScale_ = std::clamp(factor, 1, kMaxScale); },
    .name = [](void*, wl_output*, const char*) {},
    .description = [](void*, wl_output*, const char*) {},
};

const zwlr_layer_surface_v1_listener OutputView::kLayerListener = {
    .configure =
        [](void* data, zwlr_layer_surface_v1* surface, uint32_t serial, uint32_t width, uint32_t height) {
            OutputView* view = ViewOf(data);
            zwlr_layer_surface_v1_ack_configure(surface, serial);
            // A size left to us: the output's mode in the compositor's units.
            const auto side = [](uint32_t given, int32_t mode) { return given > 0 ? int32_t(std::min(given, 65536u)) : mode; };
            view->NoteSize(side(width, view->modeWidth_ / view->scale_), side(height, view->modeHeight_ / view->scale_));
        },
    .closed = [](void* data, zwlr_layer_surface_v1*) { ViewOf(data)->isClosed_ = true; },
};

const xdg_surface_listener OutputView::kXdgSurfaceListener = {
    .configure =
        [](void* data, xdg_surface* surface, uint32_t serial) {
            OutputView* view = ViewOf(data);
            xdg_surface_ack_configure(surface, serial);
            // A size left to us: the output's mode in the compositor's units.
            const int32_t scale = view->scale_;
            view->NoteSize(view->toplevelWidth_ > 0 ? view->toplevelWidth_ : view->modeWidth_ / scale,
                           view->toplevelHeight_ > 0 ? view->toplevelHeight_ : view->modeHeight_ / scale);
        },
};

const xdg_toplevel_listener OutputView::kToplevelListener = {
    .configure =
        [](void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
            ViewOf(data)->toplevelWidth_ = width;
            ViewOf(data)->toplevelHeight_ = height;
        },
    .close = [](void* data, xdg_toplevel*) { ViewOf(data)->isClosed_ = true; },
    .configure_bounds = [](void*, xdg_toplevel*, int32_t, int32_t) {},
    .wm_capabilities = [](void*, xdg_toplevel*, wl_array*) {},
};

const wp_fractional_scale_v1_listener OutputView::kFractionalListener = {
    .preferred_scale =
        [](void* data, wp_fractional_scale_v1*, uint32_t scale120) {
            OutputView* view = ViewOf(data);
            scale120 = std::clamp(scale120, 60u, uint32_t(kMaxScale) * 120);
            if (scale120 == view->fractional120_) return;
            view->fractional120_ = scale120;
            view->hasChanged_ = true;
        },
};

OutputView::OutputView(uint32_t globalName, wl_output* output) : globalName_(globalName), output_(output) {
    wl_output_add_listener(output_, &kOutputListener, this);
    // An output of the first version tells no end of its description: what it has told is all.
    isDescribed_ = wl_output_get_version(output_) < WL_OUTPUT_DONE_SINCE_VERSION;
}

OutputView::~OutputView() {
    for (auto& buffer : buffers_) buffer.reset();
    if (viewport_) wp_viewport_destroy(viewport_);
    if (fractional_) wp_fractional_scale_v1_destroy(fractional_);
    if (layerSurface_) zwlr_layer_surface_v1_destroy(layerSurface_);
    if (toplevel_) xdg_toplevel_destroy(toplevel_);
    if (xdgSurface_) xdg_surface_destroy(xdgSurface_);
    if (surface_) wl_surface_destroy(surface_);
    if (wl_output_get_version(output_) >= WL_OUTPUT_RELEASE_SINCE_VERSION) wl_output_release(output_);
    else wl_output_destroy(output_);
}

void OutputView::CreateSurface(const WaylandGlobals& globals) {
    shm_ = globals.shm;
    surface_ = wl_compositor_create_surface(globals.compositor);
    if (globals.fractionalScale && globals.viewporter) {
        viewport_ = wp_viewporter_get_viewport(globals.viewporter, surface_);
        fractional_ = wp_fractional_scale_manager_v1_get_fractional_scale(globals.fractionalScale, surface_);
        wp_fractional_scale_v1_add_listener(fractional_, &kFractionalListener, this);
    }
    if (globals.layerShell) {
        layerSurface_ = zwlr_layer_shell_v1_get_layer_surface(globals.layerShell, surface_, output_,
                                                              ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "korunex");
        zwlr_layer_surface_v1_add_listener(layerSurface_, &kLayerListener, this);
        zwlr_layer_surface_v1_set_anchor(layerSurface_, kAllEdges);
        zwlr_layer_surface_v1_set_size(layerSurface_, 0, 0);
        // Over panels too, whatever room they keep for themselves.
        zwlr_layer_surface_v1_set_exclusive_zone(layerSurface_, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(
            layerSurface_, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    } else {
        xdgSurface_ = xdg_wm_base_get_xdg_surface(globals.wmBase, surface_);
        xdg_surface_add_listener(xdgSurface_, &kXdgSurfaceListener, this);
        toplevel_ = xdg_surface_get_toplevel(xdgSurface_);
        xdg_toplevel_add_listener(toplevel_, &kToplevelListener, this);
        xdg_toplevel_set_title(toplevel_, "korunex");
        xdg_toplevel_set_app_id(toplevel_, "korunex");
        xdg_toplevel_set_fullscreen(toplevel_, output_);
    }
    wl_surface_commit(surface_);
}

uint32_t OutputView::Scale120() const {
    return viewport_ && fractional120_ > 0 ? fractional120_ : uint32_t(scale_) * 120;
}

int32_t OutputView::PixelWidth() const { return int32_t(std::lround(double(logicalWidth_) * Scale120() / 120)); }
int32_t OutputView::PixelHeight() const { return int32_t(std::lround(double(logicalHeight_) * Scale120() / 120)); }
int32_t OutputView::Dpi() const { return int32_t(std::lround(double(kStandardDpi) * Scale120() / 120)); }

void OutputView::NoteSize(int32_t width, int32_t height) {
    // A size beyond any screen's is cut to the largest.
    width = std::clamp(width, 0, kMaxSide);
    height = std::clamp(height, 0, kMaxSide);
    if (width == logicalWidth_ && height == logicalHeight_) return;
    logicalWidth_ = width;
    logicalHeight_ = height;
    hasChanged_ = true;
}

bool OutputView::TakeChanges() {
    const bool hasChanged = hasChanged_;
    hasChanged_ = false;
    return hasChanged;
}

void OutputView::Assign(const PixelBox& rect) {
    rect_ = rect;
    const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
    shown_ = std::make_unique<ShownBuffers>(width, height);
    for (int i = 0; i < ShownBuffers::kCount; ++i)
        buffers_[i] = std::make_unique<ShmBuffer>(shm_, width, height, width * 4, WL_SHM_FORMAT_XRGB8888,
                                                  [this, i] { shown_->NoteReleased(i); });
    // Without the memory for both, the output keeps what it showed.
    if (!buffers_[0]->IsValid() || !buffers_[1]->IsValid()) shown_.reset();
    // A whole scale stretches the buffer by itself; a fractional one through the viewport.
    bufferScale_ = viewport_ && fractional120_ > 0 ? 1 : scale_;
    wl_surface_set_buffer_scale(surface_, bufferScale_);
    if (viewport_) wp_viewport_set_destination(viewport_, logicalWidth_, logicalHeight_);
}

void OutputView::NoteChange(const PixelBox& box) {
    if (!shown_) return;
    const PixelBox part = Intersection(box, rect_);
    if (!part.IsEmpty())
        shown_->NoteChange({part.left - rect_.left, part.top - rect_.top, part.right - rect_.left,
                            part.bottom - rect_.top});
}

void OutputView::Show(const PixelImage& picture) {
    if (!shown_) return;
    const std::optional<ShownBuffers::Turn> turn = shown_->TakeTurn();
    if (!turn) return;
    ShmBuffer& buffer = *buffers_[turn->buffer];
    const PixelImage part{picture.Row(rect_.top) + rect_.left, rect_.right - rect_.left, rect_.bottom - rect_.top,
                          picture.stride};
    // The unused byte of each pixel says opaque: weston 10 shows a surface
    // whose pixels leave it 0 as black, though the format says to ignore it.
    CopyBox(part, buffer.Pixels(), turn->copy, 0xFF000000);
    wl_surface_attach(surface_, buffer.Buffer(), 0, 0);
    const PixelBox& damage = turn->damage;
    if (wl_surface_get_version(surface_) >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION)
        wl_surface_damage_buffer(surface_, damage.left, damage.top, damage.right - damage.left,
                                 damage.bottom - damage.top);
    else
        wl_surface_damage(surface_, 0, 0, INT32_MAX, INT32_MAX);
    wl_surface_commit(surface_);
}

SurfacePlace OutputView::Place() const { return {rect_.left, rect_.top, Scale120()}; }

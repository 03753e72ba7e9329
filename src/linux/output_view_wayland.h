#pragma once
// One output of the compositor and the saver's surface on it: a layer
// surface on the overlay layer that takes the keyboard where the compositor
// offers layer surfaces, else a toplevel set full-screen on the output. It
// shows its part of the saver's picture through two shared-memory buffers.

#include <wayland-client.h>

#include <cstdint>
#include <memory>

#include "fractional-scale-v1-client-protocol.h"
#include "linux/screencopy_wayland.h"
#include "linux/seat_input.h"
#include "linux/shm_buffer_wayland.h"
#include "linux/shown_buffers.h"
#include "viewporter-client-protocol.h"
#include "xdg-shell-client-protocol.h"
// The layer shell names an argument `namespace`, a keyword of C++.
#define namespace name_space
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace

// The compositor's globals the views use; null where it offers none.
struct WaylandGlobals {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    xdg_wm_base* wmBase = nullptr;
    wp_viewporter* viewporter = nullptr;
    wp_fractional_scale_manager_v1* fractionalScale = nullptr;
    zwlr_screencopy_manager_v1* screencopy = nullptr;
};

class OutputView {
public:
    // Takes the output bound from the registry's global `globalName`.
    OutputView(uint32_t globalName, wl_output* output);
    ~OutputView();
    OutputView(const OutputView&) = delete;
    OutputView& operator=(const OutputView&) = delete;

    uint32_t GlobalName() const { return globalName_; }
    wl_output* Output() const { return output_; }
    // The output has told its mode and scale (its first wl_output.done).
    bool IsDescribed() const { return isDescribed_; }
    bool HasSurface() const { return surface_ != nullptr; }

    // Gives the output its surface, committed without a buffer so that the
    // compositor answers with its size.
    void CreateSurface(const WaylandGlobals& globals);
    // Whether the surface's size is known: it can show a picture.
    bool IsConfigured() const { return logicalWidth_ > 0 && logicalHeight_ > 0; }
    // The surface's size in buffer pixels, and its pixels' density.
    int32_t PixelWidth() const;
    int32_t PixelHeight() const;
    int32_t Dpi() const;
    // The compositor closed the surface (the layer surface's closed) or
    // asked it to close (the toplevel's close).
    bool IsClosed() const { return isClosed_; }
    // The size, the scale or the surface changed since the last TakeChanges.
    bool TakeChanges();

    // The view shows the box `rect` of the picture (picture pixels, its
    // size PixelWidth x PixelHeight); its buffers are made anew.
    void Assign(const PixelBox& rect);
    // The picture changed within `box` (picture pixels).
    void NoteChange(const PixelBox& box);
    // Shows what changed of `picture` since the last time, when a buffer is free.
    void Show(const PixelImage& picture);

    // Where the surface lies in the picture, for the pointer over it.
    SurfacePlace Place() const;
    bool Owns(wl_surface* surface) const { return surface == surface_; }
    const OutputPicture& Snapshot() const { return snapshot_; }
    void KeepSnapshot(OutputPicture picture) { snapshot_ = std::move(picture); }

private:
    static const wl_output_listener kOutputListener;
    static const zwlr_layer_surface_v1_listener kLayerListener;
    static const xdg_surface_listener kXdgSurfaceListener;
    static const xdg_toplevel_listener kToplevelListener;
    static const wp_fractional_scale_v1_listener kFractionalListener;
    uint32_t Scale120() const;
    void NoteSize(int32_t width, int32_t height);

    uint32_t globalName_;
    wl_output* output_;
    int32_t modeWidth_ = 0, modeHeight_ = 0, scale_ = 1, pendingScale_ = 1;
    uint32_t fractional120_ = 0;  // 0: the compositor gives no fractional scale
    bool isDescribed_ = false, isClosed_ = false, hasChanged_ = false;

    wl_surface* surface_ = nullptr;
    zwlr_layer_surface_v1* layerSurface_ = nullptr;
    xdg_surface* xdgSurface_ = nullptr;
    xdg_toplevel* toplevel_ = nullptr;
    wp_viewport* viewport_ = nullptr;
    wp_fractional_scale_v1* fractional_ = nullptr;
    int32_t logicalWidth_ = 0, logicalHeight_ = 0;  // the surface's size in the compositor's units
    int32_t toplevelWidth_ = 0, toplevelHeight_ = 0;  // the toplevel's size until its surface's configure
    wl_shm* shm_ = nullptr;

    PixelBox rect_{};  // where the view lies in the picture
    std::unique_ptr<ShownBuffers> shown_;
    std::unique_ptr<ShmBuffer> buffers_[ShownBuffers::kCount];
    int32_t bufferScale_ = 1;  // the scale the surface was last committed with
    OutputPicture snapshot_;
};

#pragma once
// The raster on cairo surfaces: an image in memory or a window on screen.
// Drawing is not anti-aliased, so that pixels are whole as on the Windows raster.

#include <cairo.h>

#include "render/raster.h"

class CairoRaster final : public Raster {
public:
    // `window` stands for the window's picture, of the given size; `snapshot`
    // is the desktop picture taken at start, or null. Neither is owned.
    CairoRaster(cairo_surface_t* window, int32_t width, int32_t height, cairo_surface_t* snapshot)
        : window_(window), snapshot_(snapshot), windowWidth_(width), windowHeight_(height) {}
    ~CairoRaster() override { ReleaseFrame(); }
    CairoRaster(const CairoRaster&) = delete;
    CairoRaster& operator=(const CairoRaster&) = delete;

    void BeginFrame(int32_t width, int32_t height) override;
    void FillPolygon(const RasterPoint* points, int count, Rgb colour, FillRule rule) override;
    void PaintRegion(const RasterPoint* points, const int* counts, int ringCount, Rgb colour) override;
    void DrawPolylines(const RasterPoint* points, const int* counts, int polylineCount) override;
    void CopyFromWindow(int32_t x, int32_t y) override;
    void CopyFromSnapshot(int32_t x, int32_t y) override;
    void PresentFrame(int32_t x, int32_t y) override;

private:
    bool MeetsWindow(int32_t x, int32_t y) const;
    void DrawPendingBorder();
    bool OutlinesPendingBorder(const RasterPoint* points, const int* counts, int polylineCount) const;
    void CopyFrom(cairo_surface_t* source, int32_t x, int32_t y);
    void ReleaseFrame();

    cairo_surface_t* window_;
    cairo_surface_t* snapshot_;
    int32_t windowWidth_, windowHeight_;
    int32_t frameWidth_ = 0, frameHeight_ = 0;
    // The black border of the last filled polygon, not yet drawn.
    static constexpr int kPendingCapacity = 8;
    RasterPoint pending_[kPendingCapacity];
    int pendingCount_ = 0;
    cairo_surface_t* frame_ = nullptr;
    cairo_t* cr_ = nullptr;
};

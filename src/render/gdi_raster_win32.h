#pragma once
// The raster on GDI: a compatible bitmap per frame, painted with solid
// brushes and pens that live for one call, copied to the window in one
// transfer. Also the desktop snapshot some backgrounds are copied from.

#include <windows.h>

#include "render/raster.h"

class GdiRaster final : public Raster {
public:
    // `window` is the window's device context; `snapshot` the snapshot's
    // memory context (of the whole window), or null. Neither is owned.
    GdiRaster(HDC window, HDC snapshot) : window_(window), snapshot_(snapshot) {}
    // Draws in `area` of the window alone: positions are relative to its top
    // left, and nothing lands outside it (a neighbouring monitor's logo).
    GdiRaster(HDC window, HDC snapshot, const RECT& area);
    ~GdiRaster() override;
    GdiRaster(const GdiRaster&) = delete;
    GdiRaster& operator=(const GdiRaster&) = delete;

    void BeginFrame(int32_t width, int32_t height) override;
    void FillPolygon(const RasterPoint* points, int count, Rgb colour, FillRule rule) override;
    void PaintRegion(const RasterPoint* points, const int* counts, int ringCount, Rgb colour) override;
    void DrawPolylines(const RasterPoint* points, const int* counts, int polylineCount) override;
    void CopyFromWindow(int32_t x, int32_t y) override;
    void CopyFromSnapshot(int32_t x, int32_t y) override;
    void PresentFrame(int32_t x, int32_t y) override;

private:
    void ReleaseFrame();

    HDC window_;
    HDC snapshot_;
    int savedWindowState_ = 0;  // SaveDC's, while an area clips the window
    int32_t originX_ = 0, originY_ = 0;
    HDC frame_ = nullptr;
    HBITMAP frameBitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    int32_t width_ = 0, height_ = 0;
};

// A copy of the display taken once, width x height pixels from the display's
// point (x, y) on, kept in a memory context until released.
struct DesktopSnapshot {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
};

DesktopSnapshot TakeDesktopSnapshot(int32_t x, int32_t y, int32_t width, int32_t height);
void ReleaseDesktopSnapshot(DesktopSnapshot& snapshot);

// The GDI objects (bitmaps, brushes, pens, regions, memory contexts) that the
// raster and the snapshot have created and deleted so far in this process:
// every frame must delete all it creates.
struct GdiObjectTally {
    uint64_t created, deleted;
};
GdiObjectTally CountGdiObjects();

#include "render/gdi_raster_win32.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

// The raster's points are handed to GDI as they are.
static_assert(sizeof(RasterPoint) == sizeof(POINT) && offsetof(RasterPoint, x) == offsetof(POINT, x) &&
              offsetof(RasterPoint, y) == offsetof(POINT, y));

namespace {

GdiObjectTally tally{};

template <typename Handle>
Handle Created(Handle handle) {
    if (handle != nullptr) ++tally.created;
    return handle;
}

void Delete(HGDIOBJ object) {
    if (DeleteObject(object)) ++tally.deleted;
}

void Delete(HDC dc) {
    if (DeleteDC(dc)) ++tally.deleted;
}

const POINT* AsPoints(const RasterPoint* points) {
    return reinterpret_cast<const POINT*>(points);
}

COLORREF AsColour(Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

// A position moved by an area's origin; one far off stays far off.
int32_t Shifted(int32_t position, int32_t by) {
    return int32_t(std::clamp<int64_t>(int64_t(position) + by, INT32_MIN, INT32_MAX));
}

}  // namespace

GdiRaster::GdiRaster(HDC window, HDC snapshot, const RECT& area)
    : window_(window), snapshot_(snapshot), originX_(area.left), originY_(area.top) {
    savedWindowState_ = SaveDC(window_);
    IntersectClipRect(window_, area.left, area.top, area.right, area.bottom);
}

GdiRaster::~GdiRaster() {
    ReleaseFrame();
    if (savedWindowState_ != 0) RestoreDC(window_, savedWindowState_);
}

void GdiRaster::BeginFrame(int32_t width, int32_t height) {
    ReleaseFrame();
    width_ = width, height_ = height;
    frameBitmap_ = Created(CreateCompatibleBitmap(window_, width, height));
    frame_ = Created(CreateCompatibleDC(window_));
    previousBitmap_ = SelectObject(frame_, frameBitmap_);
}

void GdiRaster::FillPolygon(const RasterPoint* points, int count, Rgb colour, FillRule rule) {
    HBRUSH brush = Created(CreateSolidBrush(AsColour(colour)));
    HGDIOBJ previous = SelectObject(frame_, brush);
    SetPolyFillMode(frame_, rule == FillRule::kEvenOdd ? ALTERNATE : WINDING);
    Polygon(frame_, AsPoints(points), count);
    SelectObject(frame_, previous);
    Delete(brush);
}

void GdiRaster::PaintRegion(const RasterPoint* points, const int* counts, int ringCount, Rgb colour) {
    HRGN region = Created(CreatePolyPolygonRgn(AsPoints(points), counts, ringCount, ALTERNATE));
    HBRUSH brush = Created(CreateSolidBrush(AsColour(colour)));
    HGDIOBJ previous = SelectObject(frame_, brush);
    PaintRgn(frame_, region);
    SelectObject(frame_, previous);
    Delete(brush);
    Delete(region);
}

void GdiRaster::DrawPolylines(const RasterPoint* points, const int* counts, int polylineCount) {
    HPEN pen = Created(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    HGDIOBJ previous = SelectObject(frame_, pen);
    for (int line = 0; line < polylineCount; ++line) {
        const int count = counts[line];
        if (count > 0) MoveToEx(frame_, points[0].x, points[0].y, nullptr);
        for (int k = 1; k < count; ++k) LineTo(frame_, points[k].x, points[k].y);
        points += count;
    }
    SelectObject(frame_, previous);
    Delete(pen);
}

void GdiRaster::CopyFromWindow(int32_t x, int32_t y) {
    BitBlt(frame_, 0, 0, width_, height_, window_, Shifted(x, originX_), Shifted(y, originY_), SRCCOPY);
}

void GdiRaster::CopyFromSnapshot(int32_t x, int32_t y) {
    if (snapshot_ != nullptr)
        BitBlt(frame_, 0, 0, width_, height_, snapshot_, Shifted(x, originX_), Shifted(y, originY_), SRCCOPY);
}

void GdiRaster::PresentFrame(int32_t x, int32_t y) {
    BitBlt(window_, Shifted(x, originX_), Shifted(y, originY_), width_, height_, frame_, 0, 0, SRCCOPY);
    ReleaseFrame();
}

void GdiRaster::ReleaseFrame() {
    if (frame_ != nullptr) {
        SelectObject(frame_, previousBitmap_);
        Delete(frame_);
    }
    if (frameBitmap_ != nullptr) Delete(frameBitmap_);
    frame_ = nullptr, frameBitmap_ = nullptr, previousBitmap_ = nullptr;
}

DesktopSnapshot TakeDesktopSnapshot(int32_t x, int32_t y, int32_t width, int32_t height) {
    DesktopSnapshot snapshot;
    HDC display = Created(CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
    snapshot.bitmap = Created(CreateCompatibleBitmap(display, width, height));
    snapshot.dc = Created(CreateCompatibleDC(display));
    snapshot.previousBitmap = SelectObject(snapshot.dc, snapshot.bitmap);
    BitBlt(snapshot.dc, 0, 0, width, height, display, x, y, SRCCOPY);
    Delete(display);
    return snapshot;
}

void ReleaseDesktopSnapshot(DesktopSnapshot& snapshot) {
    if (snapshot.dc != nullptr) {
        SelectObject(snapshot.dc, snapshot.previousBitmap);
        Delete(snapshot.dc);
    }
    if (snapshot.bitmap != nullptr) Delete(snapshot.bitmap);
    snapshot = {};
}

GdiObjectTally CountGdiObjects() { return tally; }

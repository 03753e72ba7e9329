#include "render/cairo_raster.h"

#include <algorithm>
#include <cassert>

namespace {

void SetColour(cairo_t* cr, Rgb colour) { cairo_set_source_rgb(cr, colour.r / 255.0, colour.g / 255.0, colour.b / 255.0); }

// Pixel centres lie at half coordinates in cairo; whole-pixel points of the
// raster name pixels, as on Windows.
void AddRing(cairo_t* cr, const RasterPoint* points, int count, bool isClosed) {
    for (int i = 0; i < count; ++i) {
        const double x = points[i].x + 0.5, y = points[i].y + 0.5;
        i == 0 ? cairo_move_to(cr, x, y) : cairo_line_to(cr, x, y);
    }
    if (isClosed) cairo_close_path(cr);
}

void StrokeBlack(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_stroke(cr);
}

}  // namespace

void CairoRaster::BeginFrame(int32_t width, int32_t height) {
    assert(width >= 1 && height >= 1);
    // A frame of the same size as the last reuses its surface: the
    // background paints every pixel of it before anything else.
    if (cr_ && width == frameWidth_ && height == frameHeight_) return;
    ReleaseFrame();
    frameWidth_ = width, frameHeight_ = height;
    frame_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cr_ = cairo_create(frame_);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(cr_, 1.0);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_SQUARE);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_BEVEL);  // a mitre would spike past the corners of thin faces
}

void CairoRaster::FillPolygon(const RasterPoint* points, int count, Rgb colour, FillRule rule) {
    if (!cr_ || count < 1) return;
    DrawPendingBorder();
    AddRing(cr_, points, count, true);
    cairo_set_fill_rule(cr_, rule == FillRule::kEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    SetColour(cr_, colour);
    cairo_fill(cr_);
    // The border waits: when the same ring is outlined next, that outline covers it.
    if (count <= kPendingCapacity) {
        std::copy(points, points + count, pending_);
        pendingCount_ = count;
    } else {
        AddRing(cr_, points, count, true);
        StrokeBlack(cr_);
    }
}

void CairoRaster::DrawPendingBorder() {
    if (pendingCount_ == 0) return;
    AddRing(cr_, pending_, pendingCount_, true);
    StrokeBlack(cr_);
    pendingCount_ = 0;
}

bool CairoRaster::OutlinesPendingBorder(const RasterPoint* points, const int* counts, int polylineCount) const {
    if (pendingCount_ == 0 || polylineCount != 1 || counts[0] != pendingCount_ + 1) return false;
    for (int i = 0; i <= pendingCount_; ++i) {
        const RasterPoint& expected = pending_[i % pendingCount_];
        if (points[i].x != expected.x || points[i].y != expected.y) return false;
    }
    return true;
}

void CairoRaster::PaintRegion(const RasterPoint* points, const int* counts, int ringCount, Rgb colour) {
    if (!cr_) return;
    DrawPendingBorder();
    for (int r = 0; r < ringCount; points += counts[r], ++r) AddRing(cr_, points, counts[r], true);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
    SetColour(cr_, colour);
    cairo_fill(cr_);
}

void CairoRaster::DrawPolylines(const RasterPoint* points, const int* counts, int polylineCount) {
    if (!cr_) return;
    if (OutlinesPendingBorder(points, counts, polylineCount)) pendingCount_ = 0;
    DrawPendingBorder();
    for (int r = 0; r < polylineCount; points += counts[r], ++r) AddRing(cr_, points, counts[r], false);
    StrokeBlack(cr_);
}

// True when the frame placed at (x, y) overlaps the window. A frame far
// outside is skipped: cairo's fixed-point coordinates end near 2^23.
bool CairoRaster::MeetsWindow(int32_t x, int32_t y) const {
    return int64_t(x) < windowWidth_ && int64_t(y) < windowHeight_ && int64_t(x) + frameWidth_ > 0 &&
           int64_t(y) + frameHeight_ > 0;
}

void CairoRaster::CopyFrom(cairo_surface_t* source, int32_t x, int32_t y) {
    if (!cr_) return;
    DrawPendingBorder();
    // What lies outside the source reads as black.
    cairo_save(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgb(cr_, 0, 0, 0);
    cairo_paint(cr_);
    if (source && MeetsWindow(x, y)) {
        cairo_set_source_surface(cr_, source, -double(x), -double(y));
        cairo_paint(cr_);
    }
    cairo_restore(cr_);
}

void CairoRaster::CopyFromWindow(int32_t x, int32_t y) { CopyFrom(window_, x, y); }

void CairoRaster::CopyFromSnapshot(int32_t x, int32_t y) { CopyFrom(snapshot_, x, y); }

void CairoRaster::PresentFrame(int32_t x, int32_t y) {
    if (cr_) DrawPendingBorder();
    if (cr_ && MeetsWindow(x, y)) {
        cairo_surface_flush(frame_);
        cairo_t* window = cairo_create(window_);
        cairo_set_operator(window, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(window, frame_, x, y);
        cairo_rectangle(window, x, y, frameWidth_, frameHeight_);
        cairo_fill(window);
        cairo_destroy(window);
        cairo_surface_flush(window_);
    }
}

void CairoRaster::ReleaseFrame() {
    if (cr_) cairo_destroy(cr_);
    if (frame_) cairo_surface_destroy(frame_);
    cr_ = nullptr;
    frame_ = nullptr;
    pendingCount_ = 0;
}

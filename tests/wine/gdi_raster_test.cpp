#include <gtest/gtest.h>
#include <windows.h>

#include "render/gdi_raster_win32.h"

namespace {

constexpr int kSize = 64;
constexpr COLORREF kGrey = RGB(90, 90, 90);

// A 32-bit picture standing in for the window: the raster draws into it
// through its device context as it would into a window's.
class FakeWindow {
public:
    FakeWindow() {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSize, -kSize, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        previous_ = SelectObject(dc_, bitmap_);
        Fill(kGrey);
    }
    ~FakeWindow() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
    void Fill(COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        const RECT all{0, 0, kSize, kSize};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }

private:
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ previous_;
};

TEST(GdiRaster, PolygonIsFilledAndOutlinedAndLandsWherePresented) {
    FakeWindow window;
    GdiRaster raster(window.dc(), nullptr);
    raster.BeginFrame(20, 20);
    const RasterPoint all[4] = {{0, 0}, {20, 0}, {20, 20}, {0, 20}};
    raster.FillPolygon(all, 4, Rgb{0, 0, 0}, FillRule::kWinding);
    const RasterPoint square[4] = {{2, 2}, {17, 2}, {17, 17}, {2, 17}};
    raster.FillPolygon(square, 4, Rgb{0, 0, 255}, FillRule::kEvenOdd);
    raster.PresentFrame(10, 30);

    EXPECT_EQ(window.At(20, 40), RGB(0, 0, 255));  // inside
    EXPECT_EQ(window.At(12, 40), RGB(0, 0, 0));    // the outline
    EXPECT_EQ(window.At(10, 30), RGB(0, 0, 0));    // the frame's own background
    EXPECT_EQ(window.At(9, 40), kGrey);            // outside the frame: untouched
    EXPECT_EQ(window.At(30, 40), kGrey);
}

// A frame over the whole fake window that starts as what the window shows.
class GdiRasterOverWindow : public ::testing::Test {
protected:
    GdiRasterOverWindow() {
        raster.BeginFrame(kSize, kSize);
        raster.CopyFromWindow(0, 0);
    }
    FakeWindow window;
    GdiRaster raster{window.dc(), nullptr};
};

TEST_F(GdiRasterOverWindow, RegionLeavesItsHoleAndHasNoBorder) {
    const RasterPoint rings[8] = {{10, 10}, {50, 10}, {50, 50}, {10, 50}, {20, 20}, {40, 20}, {40, 40}, {20, 40}};
    const int counts[2] = {4, 4};
    raster.PaintRegion(rings, counts, 2, Rgb{255, 255, 0});
    raster.PresentFrame(0, 0);

    EXPECT_EQ(window.At(12, 12), RGB(255, 255, 0));
    EXPECT_EQ(window.At(10, 10), RGB(255, 255, 0));  // no black rim
    EXPECT_EQ(window.At(30, 30), kGrey);             // the hole keeps what was there
    EXPECT_EQ(window.At(5, 5), kGrey);
}

TEST_F(GdiRasterOverWindow, PolylinesAreBlackAndSeparate) {
    const RasterPoint lines[5] = {{5, 5}, {30, 5}, {30, 20}, {5, 40}, {40, 40}};
    const int counts[2] = {3, 2};
    raster.DrawPolylines(lines, counts, 2);
    raster.PresentFrame(0, 0);

    EXPECT_EQ(window.At(15, 5), RGB(0, 0, 0));
    EXPECT_EQ(window.At(30, 12), RGB(0, 0, 0));
    EXPECT_EQ(window.At(20, 40), RGB(0, 0, 0));
    EXPECT_EQ(window.At(20, 30), kGrey);  // no line from the end of one polyline to the next
}

TEST(GdiRaster, BackgroundsComeFromTheWindowOrTheSnapshotAtTheGivenPoint) {
    FakeWindow window, snapshot;
    snapshot.Fill(RGB(0, 200, 0));
    SetPixel(snapshot.dc(), 33, 21, RGB(255, 0, 255));
    SetPixel(window.dc(), 7, 9, RGB(0, 255, 255));

    GdiRaster raster(window.dc(), snapshot.dc());
    raster.BeginFrame(4, 4);
    raster.CopyFromSnapshot(32, 20);
    raster.PresentFrame(40, 40);
    EXPECT_EQ(window.At(41, 41), RGB(255, 0, 255));
    EXPECT_EQ(window.At(40, 40), RGB(0, 200, 0));

    raster.BeginFrame(4, 4);
    raster.CopyFromWindow(6, 8);
    raster.PresentFrame(50, 2);
    EXPECT_EQ(window.At(51, 3), RGB(0, 255, 255));

    GdiRaster withoutSnapshot(window.dc(), nullptr);  // no snapshot: nothing to copy, no fault
    withoutSnapshot.BeginFrame(4, 4);
    withoutSnapshot.CopyFromSnapshot(0, 0);
}

}  // namespace

// Our own raster: the invariants of its pixel rules. That they are GDI's own
// is proven under Wine, pixel for pixel (tests/wine/compare_with_gdi.sh).

#include "render/span_raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr uint32_t kGrey = 0x5A5A5A, kRed = 0xFF0000;
constexpr Rgb kRedRgb{255, 0, 0};

// A raster on a grey window of its own, each frame starting from the window
// painted grey anew.
struct Canvas {
    Canvas(int32_t width, int32_t height)
        : pixels(size_t(width) * height, kGrey), raster({pixels.data(), width, height, width}, PixelImage{}) {}
    void Begin(int32_t width, int32_t height) {
        std::fill(pixels.begin(), pixels.end(), kGrey);
        raster.BeginFrame(width, height);
        raster.CopyFromWindow(0, 0);
    }
    std::vector<uint32_t> pixels;
    SpanRaster raster;
};

std::vector<uint32_t> Copy(const PixelImage& image) {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < image.height; ++y) out.insert(out.end(), image.Row(y), image.Row(y) + image.width);
    return out;
}

TEST(SpanRaster, TrianglesFannedAroundAPointCoverEveryPixelOnce) {
    std::mt19937 draws(17);
    Canvas canvas(40, 30);
    for (int round = 0; round < 50; ++round) {
        // A fan from an inner point to points on the rectangle (4, 3)-(36, 27).
        const RasterPoint hub{int32_t(5 + draws() % 31), int32_t(4 + draws() % 23)};
        const RasterPoint rim[] = {{4, 3}, {int32_t(4 + draws() % 33), 3}, {36, 3}, {36, int32_t(3 + draws() % 25)},
                                   {36, 27}, {int32_t(4 + draws() % 33), 27}, {4, 27}, {4, int32_t(3 + draws() % 25)}};
        std::vector<int> covered(40 * 30, 0);
        for (int k = 0; k < 8; ++k) {
            const RasterPoint triangle[3] = {hub, rim[k], rim[(k + 1) % 8]};
            const int count = 3;
            canvas.Begin(40, 30);
            canvas.raster.PaintRegion(triangle, &count, 1, kRedRgb);
            const PixelImage frame = canvas.raster.Frame();
            for (int32_t y = 0; y < 30; ++y)
                for (int32_t x = 0; x < 40; ++x) covered[y * 40 + x] += frame.Row(y)[x] == kRed;
        }
        for (int32_t y = 0; y < 30; ++y)
            for (int32_t x = 0; x < 40; ++x)
                ASSERT_EQ(covered[y * 40 + x], x >= 4 && x < 36 && y >= 3 && y < 27 ? 1 : 0)
                    << "pixel " << x << "," << y << " of the fan around " << hub.x << "," << hub.y;
    }
}

// The small frame sees a part of the large one's shape, clipped on all sides.
TEST(SpanRaster, ClippingKeepsThePixelsOfTheWholeShape) {
    std::mt19937 draws(3);
    Canvas large(1500, 140), small(30, 20);
    for (int round = 0; round < 300; ++round) {
        RasterPoint points[6];
        for (RasterPoint& p : points) p = {int32_t(draws() % 90), int32_t(draws() % 140)};
        RasterPoint moved[6];
        for (int i = 0; i < 6; ++i) moved[i] = {points[i].x - 30, points[i].y - 30};
        const int counts[2] = {3, 3};
        const int kind = round % 3;
        auto draw = [&](Raster& raster, const RasterPoint* p) {
            if (kind == 0) raster.FillPolygon(p, 6, kRedRgb, round % 2 ? FillRule::kWinding : FillRule::kEvenOdd);
            if (kind == 1) raster.PaintRegion(p, counts, 2, kRedRgb);
            if (kind == 2) raster.DrawPolylines(p, counts, 2);
        };
        large.Begin(1500, 140);
        draw(large.raster, points);
        const PixelImage whole = large.raster.Frame();
        small.Begin(30, 20);
        draw(small.raster, moved);
        const PixelImage part = small.raster.Frame();
        for (int32_t y = 0; y < 20; ++y)
            for (int32_t x = 0; x < 30; ++x)
                ASSERT_EQ(part.Row(y)[x], whole.Row(y + 30)[x + 30]) << "round " << round << " at " << x << "," << y;
    }
}

using Draws = std::mt19937;

int32_t Any(Draws& draws, int32_t lo, int32_t hi) { return lo + int32_t(draws() % uint32_t(hi - lo + 1)); }

// `count` random fills, regions and lines around a frame of width x height,
// each call often sharing an edge with the one before, either way, as the
// side faces do.
std::vector<std::function<void(Raster&)>> RandomCalls(Draws& draws, int count, int32_t width, int32_t height) {
    const auto any = [&](int32_t lo, int32_t hi) { return Any(draws, lo, hi); };
    std::vector<std::function<void(Raster&)>> calls;
    std::vector<RasterPoint> points;
    for (int k = count; k > 0; --k) {
        const std::vector<RasterPoint> last = points;
        points.clear();
        if (last.size() >= 2 && any(0, 1)) points = {last[1], last[0]};  // the edge they share, reversed
        if (last.size() >= 2 && any(0, 3) == 0) points = {last[0], last[1]};
        const RasterPoint centre{any(-20, width + 20), any(-20, height + 20)};
        const int32_t spread = any(1, 80);
        for (int i = any(1, 7); i > 0; --i) points.push_back({centre.x + any(-spread, spread), centre.y + any(-spread, spread)});
        const int n = int(points.size()), half[2] = {n / 2, n - n / 2};
        const Rgb colour{uint8_t(any(1, 255)), uint8_t(any(0, 255)), uint8_t(any(0, 255))};
        const int kind = any(0, 3);
        calls.push_back([=](Raster& raster) {
            if (kind == 0) raster.FillPolygon(points.data(), n, colour, FillRule::kEvenOdd);
            if (kind == 1) raster.FillPolygon(points.data(), n, colour, FillRule::kWinding);
            if (kind == 2) raster.PaintRegion(points.data(), half, 2, colour);
            if (kind == 3) raster.DrawPolylines(points.data(), half, 2);
        });
    }
    return calls;
}

// The calls of a frame are drawn last first, each painting only what no
// later call paints, and a line drawn again adds at most its start; looking
// at the frame after every call draws them one by one in their own order
// instead. Both must leave the same pixels.
TEST(SpanRaster, CallsDrawnLastFirstLeaveThePixelsOfCallsDrawnInTurn) {
    Draws draws(29);
    Canvas together(150, 90), inTurn(150, 90);
    for (int round = 0; round < 200; ++round) {
        const auto calls = RandomCalls(draws, Any(draws, 2, 40), 150, 90);
        const bool black = round % 2 == 0;
        const RasterPoint corners[4] = {{0, 0}, {150, 0}, {150, 90}, {0, 90}};
        together.Begin(150, 90), inTurn.Begin(150, 90);
        if (black) together.raster.FillPolygon(corners, 4, Rgb{0, 0, 0}, FillRule::kWinding);
        if (black) inTurn.raster.FillPolygon(corners, 4, Rgb{0, 0, 0}, FillRule::kWinding);
        for (const auto& call : calls) {
            call(together.raster);
            call(inTurn.raster);
            inTurn.raster.Frame();
        }
        together.raster.PresentFrame(0, 0), inTurn.raster.PresentFrame(0, 0);
        ASSERT_EQ(together.pixels, inTurn.pixels) << "round " << round << ", " << calls.size() << " calls";
    }
}

// Frames presented one after another, as the saver draws them, each on the
// window the last one left: a background drawn over window pixels that hold
// it already leaves them. A frame drawn apart (looked at before it is
// presented) is copied into the window whole, and must give the same window.
TEST(SpanRaster, FramesLeaveTheWindowAsFramesDrawnApartAndCopied) {
    Draws draws(41);
    const auto any = [&](int32_t lo, int32_t hi) { return Any(draws, lo, hi); };
    constexpr int32_t kWidth = 150, kHeight = 90;
    std::vector<uint32_t> desktop(130 * 80);
    for (uint32_t& p : desktop) p = draws() & 0xFFFFFF;
    const PixelImage snapshot{desktop.data(), 130, 80, 130};
    std::vector<uint32_t> keptPixels(kWidth * kHeight, kGrey), apartPixels = keptPixels;
    SpanRaster kept({keptPixels.data(), kWidth, kHeight, kWidth}, snapshot);
    SpanRaster apart({apartPixels.data(), kWidth, kHeight, kWidth}, snapshot);
    RasterPoint at{20, 10};
    int32_t shift = 0;
    for (int frame = 0; frame < 600; ++frame) {
        // Mostly small moves and one background, as a run of the saver has.
        if (any(0, 9) == 0) at = {any(-60, kWidth), any(-40, kHeight)};
        at = {at.x + any(-3, 3), at.y + any(-3, 3)};
        if (any(0, 49) == 0) shift = any(-2, 2);
        const int32_t width = any(1, 100), height = any(1, 70);
        // The frame cycle's black rectangle, or one around the frame from any corner either way.
        const int32_t left = any(0, 3) ? 0 : -any(0, 5), top = any(0, 3) ? 0 : -any(0, 5);
        const int32_t right = any(0, 3) ? width : width + any(0, 5), bottom = any(0, 3) ? height : height + any(0, 5);
        RasterPoint rectangle[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
        std::rotate(rectangle, rectangle + any(0, 3), rectangle + 4);
        if (any(0, 1)) std::reverse(rectangle, rectangle + 4);
        // Black too, but no rectangle: a frame without a background.
        const RasterPoint pentagon[5] = {rectangle[0], rectangle[1], rectangle[2], rectangle[3],
                                         {(rectangle[3].x + rectangle[0].x) / 2, (rectangle[3].y + rectangle[0].y) / 2}};
        const int background = any(0, 9);
        const auto calls = RandomCalls(draws, any(0, 12), width, height);
        for (SpanRaster* raster : {&kept, &apart}) {
            raster->BeginFrame(width, height);
            if (background < 5) raster->FillPolygon(rectangle, 4, Rgb{0, 0, 0}, FillRule::kWinding);
            if (background == 5) raster->FillPolygon(rectangle, 4, Rgb{0, 0, 1}, FillRule::kEvenOdd);
            if (background == 6 || background == 7) raster->CopyFromSnapshot(at.x + shift, at.y);
            if (background == 8) raster->CopyFromWindow(at.x, at.y);
            if (background == 9) raster->FillPolygon(pentagon, 5, Rgb{0, 0, 0}, FillRule::kWinding);
            for (const auto& call : calls) call(*raster);
        }
        apart.Frame();
        if (any(0, 9) == 0) kept.Frame();  // drawn apart now and then too
        kept.PresentFrame(at.x, at.y), apart.PresentFrame(at.x, at.y);
        ASSERT_EQ(keptPixels, apartPixels) << "frame " << frame << " at " << at.x << "," << at.y << ", background "
                                           << background << ", " << calls.size() << " calls";
    }
}

// Pixels of one line from `a` to `b` on a frame of 60 x 60.
std::vector<uint32_t> LinePixels(Canvas& canvas, RasterPoint a, RasterPoint b) {
    canvas.Begin(60, 60);
    const RasterPoint line[2] = {a, b};
    const int two = 2;
    canvas.raster.DrawPolylines(line, &two, 1);
    return Copy(canvas.raster.Frame());
}

TEST(SpanRaster, ALineStepsItsLongerAxisLeavesOutItsEndAndMeetsItsReverse) {
    std::mt19937 draws(5);
    Canvas canvas(60, 60);
    for (int round = 0; round < 400; ++round) {
        const RasterPoint a{int32_t(draws() % 60), int32_t(draws() % 60)}, b{int32_t(draws() % 60), int32_t(draws() % 60)};
        std::vector<uint32_t> forward = LinePixels(canvas, a, b), backward = LinePixels(canvas, b, a);
        const long steps = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
        EXPECT_EQ(std::count(forward.begin(), forward.end(), 0u), steps);
        if (steps == 0) continue;
        EXPECT_NE(forward[b.y * 60 + b.x], 0u) << "the last pixel is left out";
        // Halves round the same way whichever end a line starts from.
        forward[b.y * 60 + b.x] = 0, backward[a.y * 60 + a.x] = 0;
        ASSERT_EQ(forward, backward) << a.x << "," << a.y << " to " << b.x << "," << b.y;
    }
    // The half of a gentle line rounds toward the smaller coordinate.
    const std::vector<uint32_t> gentle = LinePixels(canvas, {10, 10}, {14, 11});
    EXPECT_EQ(gentle[10 * 60 + 12], 0u);
    EXPECT_EQ(gentle[10 * 60 + 13], kGrey);
    EXPECT_EQ(gentle[11 * 60 + 13], 0u);
}

TEST(SpanRaster, APolygonIsItsFillUnderItsClosedOutline) {
    std::mt19937 draws(11);
    Canvas canvas(50, 50);
    for (int round = 0; round < 200; ++round) {
        RasterPoint ring[6];
        for (int i = 0; i < 5; ++i) ring[i] = {int32_t(draws() % 50), int32_t(draws() % 50)};
        ring[5] = ring[0];
        const int five = 5, six = 6;
        const RasterPoint other[2] = {{0, 49}, {49, 0}};
        const int two = 2;
        auto frame = [&](auto draw) {
            canvas.Begin(50, 50);
            draw();
            canvas.raster.DrawPolylines(other, &two, 1);
            return Copy(canvas.raster.Frame());
        };
        const auto polygon = frame([&] { canvas.raster.FillPolygon(ring, five, kRedRgb, FillRule::kEvenOdd); });
        const auto parts = frame([&] {
            canvas.raster.PaintRegion(ring, &five, 1, kRedRgb);
            canvas.raster.DrawPolylines(ring, &six, 1);
        });
        const auto outlinedAgain = frame([&] {
            canvas.raster.FillPolygon(ring, five, kRedRgb, FillRule::kEvenOdd);
            canvas.raster.DrawPolylines(ring, &six, 1);
        });
        ASSERT_EQ(polygon, parts) << "round " << round;
        ASSERT_EQ(polygon, outlinedAgain) << "round " << round;
    }
}

// Spans of every length from every bit of a word of painted bits, open and
// with ends painted already by a later call, paint exactly their own pixels.
TEST(SpanRaster, SpansOfEveryLengthAndPlacePaintExactlyTheirPixels) {
    constexpr int32_t kWidth = 200;
    constexpr uint32_t kBlue = 0x0000FF;
    Canvas canvas(kWidth, 2);
    uint32_t colour = 0;
    for (int32_t left = 0; left < 64; ++left) {
        for (int32_t length = 1; left + length <= kWidth; ++length) {
            for (const int32_t ends : {0, 1, 3}) {
                canvas.Begin(kWidth, 2);
                const int32_t right = left + length;
                const RasterPoint span[4] = {{left, 0}, {right, 0}, {right, 2}, {left, 2}};
                const int one = 4;
                // A pixel left out keeps what the last case painted: each case has a colour of its own.
                colour = (colour + 1) % 200;
                canvas.raster.PaintRegion(span, &one, 1, Rgb{uint8_t(56 + colour), 0, 0});
                // Later calls, drawn first, over the span's ends.
                const RasterPoint head[4] = {{left - 2, 1}, {left + ends, 1}, {left + ends, 2}, {left - 2, 2}};
                const RasterPoint tail[4] = {{right - ends, 1}, {right + 2, 1}, {right + 2, 2}, {right - ends, 2}};
                if (ends > 0) canvas.raster.PaintRegion(head, &one, 1, Rgb{0, 0, 255});
                if (ends > 0) canvas.raster.PaintRegion(tail, &one, 1, Rgb{0, 0, 255});
                const PixelImage frame = canvas.raster.Frame();
                for (int32_t y = 0; y < 2; ++y)
                    for (int32_t x = 0; x < kWidth; ++x) {
                        const bool isEnd = y == 1 && ends > 0 && (x < left + ends || x >= right - ends) &&
                                           x >= left - 2 && x < right + 2;
                        const uint32_t expected = isEnd ? kBlue : x >= left && x < right ? (56 + colour) << 16 : kGrey;
                        ASSERT_EQ(frame.Row(y)[x], expected)
                            << "span " << left << " to " << right << ", ends " << ends << ", at " << x << "," << y;
                    }
            }
        }
    }
}

// A call under later ones that cover all of it but one pixel still paints
// that pixel, wherever it lies in rows of 7 to 10 words.
TEST(SpanRaster, ACallCoveredButForOnePixelPaintsIt) {
    constexpr int32_t kHeight = 5;
    constexpr uint32_t kBlue = 0x0000FF;
    for (const int32_t width : {420, 500, 570, 600}) {
        Canvas canvas(width, kHeight);
        const int one = 4;
        const auto paint = [&](int32_t left, int32_t top, int32_t right, int32_t bottom, Rgb colour) {
            const RasterPoint box[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
            if (left < right && top < bottom) canvas.raster.PaintRegion(box, &one, 1, colour);
        };
        for (const int32_t y : {0, 2, kHeight - 1}) {
            for (int32_t x = 0; x < width; ++x) {
                canvas.Begin(width, kHeight);
                paint(0, 0, width, kHeight, kRedRgb);
                paint(0, 0, width, y, Rgb{0, 0, 255});
                paint(0, y + 1, width, kHeight, Rgb{0, 0, 255});
                paint(0, y, x, y + 1, Rgb{0, 0, 255});
                paint(x + 1, y, width, y + 1, Rgb{0, 0, 255});
                const PixelImage frame = canvas.raster.Frame();
                for (int32_t row = 0; row < kHeight; ++row)
                    for (int32_t column = 0; column < width; ++column)
                        ASSERT_EQ(frame.Row(row)[column], row == y && column == x ? kRed : kBlue)
                            << "width " << width << ", open pixel " << x << "," << y << ", at " << column << "," << row;
            }
        }
    }
}

TEST(SpanRaster, WindingFillsTheMiddleOfAStarThatEvenOddLeavesOpen) {
    const RasterPoint star[5] = {{20, 2}, {32, 36}, {2, 14}, {38, 14}, {8, 36}};
    Canvas canvas(40, 40);
    for (const FillRule rule : {FillRule::kEvenOdd, FillRule::kWinding}) {
        canvas.Begin(40, 40);
        canvas.raster.FillPolygon(star, 5, kRedRgb, rule);
        const PixelImage frame = canvas.raster.Frame();
        EXPECT_EQ(frame.Row(20)[20], rule == FillRule::kWinding ? kRed : kGrey);
        EXPECT_EQ(frame.Row(11)[20], kRed) << "a point of the star";
    }
    // A region's rings are taken by parity: a ring inside a hole is filled again.
    const RasterPoint rings[12] = {{2, 2}, {38, 2}, {38, 38}, {2, 38}, {8, 8}, {32, 8},
                                   {32, 32}, {8, 32}, {15, 15}, {25, 15}, {25, 25}, {15, 25}};
    const int counts[3] = {4, 4, 4};
    canvas.Begin(40, 40);
    canvas.raster.PaintRegion(rings, counts, 3, kRedRgb);
    const PixelImage frame = canvas.raster.Frame();
    EXPECT_EQ(frame.Row(5)[5], kRed);
    EXPECT_EQ(frame.Row(10)[10], kGrey);
    EXPECT_EQ(frame.Row(20)[20], kRed);
    EXPECT_EQ(frame.Row(38)[20], kGrey) << "the bottom edge is not the ring's";
}

TEST(SpanRaster, CopiesReadBlackOutsideTheirSourceAndFramesLandClipped) {
    std::vector<uint32_t> windowPixels(20 * 10), snapshotPixels(20 * 10);
    for (size_t i = 0; i < windowPixels.size(); ++i) windowPixels[i] = uint32_t(i), snapshotPixels[i] = uint32_t(1000 + i);
    std::vector<int32_t> presented;
    SpanRaster raster({windowPixels.data(), 20, 10, 20}, {snapshotPixels.data(), 20, 10, 20},
                      [&](int32_t x, int32_t y, int32_t w, int32_t h) { presented = {x, y, w, h}; });
    raster.BeginFrame(8, 6);
    raster.CopyFromSnapshot(15, -2);
    EXPECT_EQ(raster.Frame().Row(2)[0], 1015u);
    EXPECT_EQ(raster.Frame().Row(2)[4], 1019u);
    EXPECT_EQ(raster.Frame().Row(2)[5], 0u) << "past the right edge";
    EXPECT_EQ(raster.Frame().Row(1)[0], 0u) << "above the top";
    raster.PresentFrame(-3, 7);
    EXPECT_EQ(presented, (std::vector<int32_t>{0, 7, 5, 3}));
    EXPECT_EQ(windowPixels[9 * 20 + 0], 1018u) << "the frame's (3, 2)";
    EXPECT_EQ(windowPixels[7 * 20 + 0], 0u) << "the frame's (3, 0), black";
    EXPECT_EQ(windowPixels[7 * 20 + 5], 7 * 20 + 5u) << "beside the frame";

    // A smaller frame and then a larger one start from their own copies.
    raster.BeginFrame(3, 3);
    raster.CopyFromWindow(0, 0);
    raster.PresentFrame(0, 0);
    raster.BeginFrame(20, 10);
    raster.CopyFromWindow(0, 0);
    EXPECT_EQ(raster.Frame().Row(9)[19], 199u);
    presented.clear();
    raster.PresentFrame(20, 0);
    EXPECT_TRUE(presented.empty()) << "a frame wholly outside the window shows nothing";

    // A frame copied from one place of the window and shown at another
    // moves the window's pixels, the source read before anything is written.
    raster.BeginFrame(20, 10);
    raster.CopyFromWindow(0, 1);
    raster.PresentFrame(0, 0);
    EXPECT_EQ(windowPixels[0 * 20 + 10], 1 * 20 + 10u);
    EXPECT_EQ(windowPixels[8 * 20 + 10], 9 * 20 + 10u);
    EXPECT_EQ(windowPixels[9 * 20 + 10], 0u) << "below the source";
}

TEST(SpanRaster, FarAndBrokenInputDrawsWithinTheFrame) {
    Canvas canvas(30, 30);
    canvas.Begin(30, 30);
    const RasterPoint far[4] = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, 5}};
    canvas.raster.FillPolygon(far, 4, kRedRgb, FillRule::kWinding);
    EXPECT_EQ(canvas.raster.Frame().Row(15)[15], kRed);
    const int counts[3] = {4, 0, -3};
    canvas.raster.PaintRegion(far, counts, 3, kRedRgb);
    canvas.raster.DrawPolylines(far, counts, 3);
    canvas.raster.FillPolygon(far, 1, kRedRgb, FillRule::kEvenOdd);
    canvas.raster.FillPolygon(far, 0, kRedRgb, FillRule::kEvenOdd);
    canvas.raster.PresentFrame(0, 0);
    canvas.raster.BeginFrame(0, -4);  // nothing to draw into
    canvas.raster.FillPolygon(far, 4, kRedRgb, FillRule::kWinding);
    canvas.raster.PresentFrame(0, 0);
}

}  // namespace

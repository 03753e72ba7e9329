#include "render/frame_cycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "render/recording_raster.h"
#include "scene_fixture.h"

namespace {

using Kind = RasterCall::Kind;

// A 20 x 20 square centred at (x, y) in shape units.
ShapeRecord SquareAt(int32_t x, int32_t y) {
    return MakeShape({{x - 10, y - 10}, {x + 10, y - 10}, {x + 10, y + 10}, {x - 10, y + 10}}, {{1, 4}});
}

class FrameCycle : public ::testing::Test {
protected:
    FrameCycle() { settings.VIEW = 0; }
    // A frame of `scene`; the first of a scene (made since the last frame) takes in its first box.
    FrameRecord Render(LogoScene& scene) {
        raster.calls.clear();
        FrameRecord record{};
        if (&scene != lastScene_) previous = FirstPreviousBox(scene), lastScene_ = &scene;
        previous = RenderFrame(scene, settings, raster, previous, &record);
        return record;
    }
    std::unique_ptr<LogoScene> Build(const std::vector<ShapeRecord>& shapes, SaverSettings& with) {
        lastScene_ = nullptr;  // a new scene may lie where the last one did
        return BuildSceneOf(shapes, with);
    }
    SaverSettings settings = DefaultSettings();
    RecordingRaster raster;
    WindowBox previous{};  // what the last frame covered

private:
    const LogoScene* lastScene_ = nullptr;
};

TEST_F(FrameCycle, AFrameIsDrawnOffScreenAndCopiedOnceWithAllWallsBeforeAnyCap) {
    auto scene = Build({BoxWithHole(), BoxWithHole()}, settings);
    scene->turnAngle = 20;
    const FrameRecord record = Render(*scene);
    ASSERT_GE(raster.calls.size(), 3u);
    EXPECT_EQ(raster.calls.front().kind, Kind::kBeginFrame);
    EXPECT_EQ(raster.calls.back().kind, Kind::kPresentFrame);
    EXPECT_EQ(std::count_if(raster.calls.begin(), raster.calls.end(),
                            [](const RasterCall& c) { return c.kind == Kind::kPresentFrame; }), 1);
    const auto firstCap = std::find_if(raster.calls.begin(), raster.calls.end(),
                                       [](const RasterCall& c) { return c.kind == Kind::kPaintRegion; });
    ASSERT_NE(firstCap, raster.calls.end());
    EXPECT_TRUE(std::none_of(firstCap, raster.calls.end(), [](const RasterCall& c) {
        return c.kind == Kind::kFillPolygon;
    })) << "a wall painted over a cap";

    // Every point drawn lies on the frame surface.
    const RasterCall& begin = raster.calls.front();
    for (const RasterCall& call : raster.calls)
        for (const RasterPoint& p : call.points) {
            EXPECT_GE(p.x, 0);
            EXPECT_LE(p.x, begin.width);
            EXPECT_GE(p.y, 0);
            EXPECT_LE(p.y, begin.height);
        }
    EXPECT_EQ(scene->turnAngle, 29) << "advanced for the next tick";
    EXPECT_GT(record.paintCount[1], 0);
}

TEST_F(FrameCycle, TheFirstBoxTakesInTheCentreAndTheNextOnlyTheLogo) {
    settings.ENKIN = 0;
    settings.STEPRAG = 0;
    auto scene = Build({SquareAt(110, 0)}, settings);  // wholly right of the centre
    FrameRecord record = Render(*scene);
    EXPECT_EQ(record.box.minX, 0) << "last box (0,0,0,0) on the first frame";
    EXPECT_EQ(record.box.maxX, 120);
    EXPECT_EQ(previous.left, 512 + 100) << "the logo's own box is kept for the next frame";

    record = Render(*scene);
    EXPECT_EQ(record.box.minX, 100);
    const RasterCall& begin = raster.calls.front();
    EXPECT_EQ(begin.width, 21);
    EXPECT_EQ(begin.height, 21);
    // The box does not span the centre: it is copied to the window right of it.
    EXPECT_EQ(raster.calls.back().x, 512 + 100);
    EXPECT_EQ(raster.calls.back().y, 384 - 10);
    for (const RasterCall& call : raster.calls)
        for (const RasterPoint& p : call.points) EXPECT_TRUE(p.x >= 0 && p.x <= 21);
}

TEST_F(FrameCycle, TheBoxIsLimitedToHalfTheWindowOnTheRightAndAbove) {
    settings.ENKIN = 0;
    auto scene = Build({SquareAt(600, 0)}, settings);
    EXPECT_EQ(Render(*scene).box.minX, -512);
    EXPECT_EQ(raster.calls.front().width, 1025);

    scene = Build({SquareAt(-600, 0)}, settings);
    const FrameRecord left = Render(*scene);
    EXPECT_EQ(left.box.minX, -610) << "past the left half alone keeps its extent";
    EXPECT_EQ(left.box.maxX, 0);

    scene = Build({SquareAt(-3000, 0)}, settings);
    const FrameRecord far = Render(*scene);
    EXPECT_EQ(far.box.minX, -512) << "never wider than twice the window";
    EXPECT_EQ(far.box.maxX, 512);
}

TEST_F(FrameCycle, TheBackgroundFollowsTheModes) {
    auto scene = Build({BoxWithHole()}, settings);
    Render(*scene);
    const RasterCall& black = raster.calls[1];
    EXPECT_EQ(black.kind, Kind::kFillPolygon);
    EXPECT_EQ(black.rule, FillRule::kWinding);
    EXPECT_EQ(black.colour.r + black.colour.g + black.colour.b, 0);
    EXPECT_EQ(black.points[2].x, raster.calls[0].width);

    settings.BKMODE = 0;
    Render(*scene);
    EXPECT_EQ(raster.calls[1].kind, Kind::kCopyFromSnapshot);
    EXPECT_EQ(raster.calls[1].x, raster.calls.back().x) << "copied from where the frame will go";
    EXPECT_EQ(raster.calls[1].y, raster.calls.back().y);

    settings.ZANZOU = 1;
    Render(*scene);
    EXPECT_EQ(raster.calls[1].kind, Kind::kCopyFromWindow);
    settings.BKMODE = 1;
    EXPECT_EQ(ChooseBackground(settings), Background::kWindow);
    settings.ZANZOU = 0, settings.BKMODE = 2;
    EXPECT_EQ(ChooseBackground(settings), Background::kWindow);
}

// Before the first frame the window shows what the frames draw under the
// logo, so that the first frame's box does not stand out; after-images and
// unknown modes leave the window as it is, unless it is to be black.
TEST_F(FrameCycle, TheFirstPictureAgreesWithTheFramesBackground) {
    for (int32_t bkmode : {0, 1, 2})
        for (int32_t zanzou : {0, 1}) {
            settings.BKMODE = bkmode, settings.ZANZOU = zanzou;
            const FirstPicture first = ChooseFirstPicture(settings);
            const Background background = ChooseBackground(settings);
            EXPECT_EQ(first == FirstPicture::kBlack, bkmode == 1) << bkmode << zanzou;
            EXPECT_EQ(first == FirstPicture::kSnapshot, background == Background::kSnapshot) << bkmode << zanzou;
            if (background == Background::kBlack) {
                EXPECT_EQ(first, FirstPicture::kBlack);
            }
        }
}

TEST_F(FrameCycle, SlotsAreDrawnFromTheFarEnd) {
    settings.COLORS = 1;
    settings.OPTIONC1 = 1, settings.OPTIONC2 = 2, settings.OPTIONC3 = 3;
    settings.STEPRAG = 0;
    auto scene = Build({BoxWithHole(), BoxWithHole(), BoxWithHole()}, settings);
    auto slotOrder = [&](int32_t angle) {
        scene->turnAngle = angle;
        Render(*scene);
        std::vector<int> order;  // slot numbers by the side shade of their first wall
        for (const RasterCall& call : raster.calls) {
            if (call.kind != Kind::kFillPolygon || call.rule != FillRule::kEvenOdd) continue;
            const int slot = call.colour.r ? 1 : call.colour.g ? 2 : 3;
            if (std::find(order.begin(), order.end(), slot) == order.end()) order.push_back(slot);
        }
        return order;
    };
    EXPECT_EQ(slotOrder(179), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(slotOrder(180), (std::vector<int>{1, 2, 3}));
}

TEST_F(FrameCycle, CreationLoadsTheSettingsWithinLimitsAndSeeding) {
    struct EmptyStore final : ProfileStore {
        int32_t ReadInt(const char*, const char* key, int32_t byDefault) const override {
            return std::string_view(key) == "OPTIONN" ? 40 : byDefault;
        }
        size_t ReadString(const char*, const char*, const char* byDefault, char* buffer, size_t capacity) const override {
            const size_t n = std::min(std::strlen(byDefault), capacity - 1);
            std::memcpy(buffer, byDefault, n);
            buffer[n] = '\0';
            return n;
        }
        bool WriteString(const char*, const char*, const char*) override { return false; }
    } store;
    ProfileNames names;
    LoadKeyNames(names);
    SaverSettings loaded{};
    auto scene = std::make_unique<LogoScene>();
    CreateLogo(store, names, loaded, *scene, 800, 600);
    EXPECT_EQ(loaded.OPTIONN, 9);
    EXPECT_EQ(scene->centreX, 400);
    EXPECT_EQ(scene->slots[9].shape.pointCount, 0) << "no shape file: empty slots";
    SeedRandom(*scene, 0x12345678u);
    EXPECT_EQ(scene->randomState, 0x5678u);
    Render(*scene);  // nothing to draw, and nothing breaks
    EXPECT_EQ(raster.calls.back().kind, Kind::kPresentFrame);
}

}  // namespace

namespace {

TEST(RecordingRaster, CountsThePixelsADrawingRasterWrites) {
    RecordingRaster raster;
    raster.countsPixels = true;
    raster.BeginFrame(100, 50);
    raster.CopyFromWindow(0, 0);
    EXPECT_EQ(raster.pixelsWritten, 5000);

    // A 10 x 10 square with a 4 x 4 hole, as one even-odd region.
    const RasterPoint rings[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}, {10, 10},
                                 {13, 13}, {17, 13}, {17, 17}, {13, 17}, {13, 13}};
    const int counts[] = {5, 5};
    raster.pixelsWritten = 0;
    raster.PaintRegion(rings, counts, 2, Rgb{});
    EXPECT_EQ(raster.pixelsWritten, 100 - 16);

    raster.pixelsWritten = 0;
    raster.DrawPolylines(rings, counts, 1);
    EXPECT_EQ(raster.pixelsWritten, 40);

    // Parts outside the frame surface write nothing.
    const RasterPoint beyond[] = {{-50, -50}, {200, -50}, {200, 200}, {-50, 200}};
    raster.pixelsWritten = 0;
    raster.keepsCalls = false;
    raster.calls.clear();
    raster.FillPolygon(beyond, 4, Rgb{}, FillRule::kWinding);
    EXPECT_GE(raster.pixelsWritten, 5000);
    EXPECT_TRUE(raster.calls.empty());
}

}  // namespace

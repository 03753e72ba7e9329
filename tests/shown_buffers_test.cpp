// The two buffers that show the Wayland saver's picture: whatever the
// compositor holds and gives back, what it shows is the picture.

#include "linux/shown_buffers.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

constexpr int32_t kWidth = 37, kHeight = 23;

struct Image {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(size_t(kWidth) * kHeight, 0xDEAD);  // unknown content
    PixelImage View() { return {pixels.data(), kWidth, kHeight, kWidth}; }
};

// A box that may stick out of the picture on any side, or be empty.
PixelBox RandomBox(std::mt19937& draws) {
    std::uniform_int_distribution<int32_t> x(-8, kWidth + 8), y(-8, kHeight + 8);
    const int32_t left = x(draws), top = y(draws);
    return {left, top, left + x(draws) / 3, top + y(draws) / 3};
}

TEST(ShownBuffers, TheCompositorAlwaysShowsThePictureWhateverItHolds) {
    std::mt19937 draws(5);
    for (int run = 0; run < 200; ++run) {
        Image picture, buffers[ShownBuffers::kCount], seen;  // seen: the compositor's copy of the surface
        std::fill(picture.pixels.begin(), picture.pixels.end(), 0);
        ShownBuffers shown(kWidth, kHeight);
        bool held[ShownBuffers::kCount] = {};
        for (int step = 0; step < 60; ++step) {
            // A frame paints a few boxes of the picture.
            for (int n = draws() % 3; n > 0; --n) {
                const PixelBox box = Intersection(RandomBox(draws), {0, 0, kWidth, kHeight});
                const uint32_t colour = draws() & 0xFFFFFF;
                for (int32_t yy = box.top; yy < box.bottom; ++yy)
                    std::fill_n(picture.View().Row(yy) + box.left, box.right - box.left, colour);
                shown.NoteChange(RandomBox(draws).IsEmpty() ? box : Union(box, RandomBox(draws)));
            }
            // The compositor gives back what it likes: seldom, often, or in bursts.
            for (int i = 0; i < ShownBuffers::kCount; ++i)
                if (held[i] && draws() % 3 == 0) shown.NoteReleased(i), held[i] = false;
            const auto turn = shown.TakeTurn();
            if (!turn) continue;
            ASSERT_FALSE(held[turn->buffer]) << "a buffer the compositor holds was handed out";
            held[turn->buffer] = true;
            Image& buffer = buffers[turn->buffer];
            CopyBox(picture.View(), buffer.View(), turn->copy);
            ASSERT_EQ(buffer.pixels, picture.pixels) << "run " << run << " step " << step;
            CopyBox(buffer.View(), seen.View(), turn->damage);
            ASSERT_EQ(seen.pixels, picture.pixels) << "the damage left out a change, run " << run;
        }
        // Changes made while every buffer was held show once one comes back.
        for (int i = 0; i < ShownBuffers::kCount; ++i) shown.NoteReleased(i);
        if (const auto turn = shown.TakeTurn()) {
            CopyBox(picture.View(), buffers[turn->buffer].View(), turn->copy);
            CopyBox(buffers[turn->buffer].View(), seen.View(), turn->damage);
        }
        ASSERT_EQ(seen.pixels, picture.pixels) << "run " << run;
    }
}

TEST(ShownBuffers, NothingChangedNothingHeldBackAndBoxesKeepToThePicture) {
    ShownBuffers shown(kWidth, kHeight);
    const auto first = shown.TakeTurn();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->copy, (PixelBox{0, 0, kWidth, kHeight})) << "a new buffer is filled whole";
    EXPECT_EQ(first->damage, (PixelBox{0, 0, kWidth, kHeight}));
    EXPECT_FALSE(shown.TakeTurn()) << "no change, no commit";
    shown.NoteChange({-5, -5, 3, 2});
    const auto second = shown.TakeTurn();
    ASSERT_TRUE(second);
    EXPECT_NE(second->buffer, first->buffer) << "the first is still held";
    EXPECT_EQ(second->damage, (PixelBox{0, 0, 3, 2}));
    shown.NoteChange({30, 20, 99, 99});
    EXPECT_FALSE(shown.TakeTurn()) << "both held";
    shown.NoteReleased(first->buffer);
    const auto third = shown.TakeTurn();
    ASSERT_TRUE(third);
    EXPECT_EQ(third->buffer, first->buffer);
    EXPECT_EQ(third->copy, (PixelBox{0, 0, kWidth, kHeight})) << "it has never held the picture";
    EXPECT_EQ(third->damage, (PixelBox{30, 20, kWidth, kHeight}));
    shown.NoteReleased(7);  // no such buffer: nothing happens
    ShownBuffers empty(0, 0);
    EXPECT_FALSE(empty.TakeTurn());
}

}  // namespace

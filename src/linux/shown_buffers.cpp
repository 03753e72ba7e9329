#include "linux/shown_buffers.h"

#include <algorithm>

namespace {

int64_t Area(const PixelBox& box) {
    return box.IsEmpty() ? 0 : int64_t(box.right - box.left) * (box.bottom - box.top);
}

}  // namespace

PixelBox Union(const PixelBox& a, const PixelBox& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

PixelBox Intersection(const PixelBox& a, const PixelBox& b) {
    const PixelBox meet{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                        std::min(a.bottom, b.bottom)};
    return meet.IsEmpty() ? PixelBox{} : meet;
}

void CopyBox(const PixelImage& from, const PixelImage& to, const PixelBox& box, uint32_t setBits) {
    for (int32_t y = box.top; y < box.bottom; ++y)
        std::transform(from.Row(y) + box.left, from.Row(y) + box.right, to.Row(y) + box.left,
                       [setBits](uint32_t pixel) { return pixel | setBits; });
}

ShownBuffers::ShownBuffers(int32_t width, int32_t height)
    : whole_{0, 0, std::max(width, 0), std::max(height, 0)}, unshown_(whole_) {
    for (PixelBox& stale : stale_) stale = whole_;
}

void ShownBuffers::NoteChange(const PixelBox& box) {
    const PixelBox changed = Intersection(box, whole_);
    if (changed.IsEmpty()) return;
    for (PixelBox& stale : stale_) stale = Union(stale, changed);
    unshown_ = Union(unshown_, changed);
}

std::optional<ShownBuffers::Turn> ShownBuffers::TakeTurn() {
    if (unshown_.IsEmpty()) return std::nullopt;
    // Of the free buffers, the one with the least to copy: after a quick
    // release that is the one shown last.
    int chosen = -1;
    for (int i = 0; i < kCount; ++i)
        if (!held_[i] && (chosen < 0 || Area(stale_[i]) < Area(stale_[chosen]))) chosen = i;
    if (chosen < 0) return std::nullopt;
    const Turn turn{chosen, stale_[chosen], unshown_};
    stale_[chosen] = unshown_ = PixelBox{};
    held_[chosen] = true;
    return turn;
}

void ShownBuffers::NoteReleased(int buffer) {
    if (buffer >= 0 && buffer < kCount) held_[buffer] = false;
}

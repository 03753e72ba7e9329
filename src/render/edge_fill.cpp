#include "render/edge_fill.h"

#include <algorithm>

#include "render/painted_mask.h"

void EdgeFill::Fill(const DrawTarget& target, uint32_t pixel, FillRule rule) {
    std::sort(edges_.begin(), edges_.end(), [](const Edge& a, const Edge& b) { return a.yTop < b.yTop; });
    active_.clear();
    // In locals: the painted words written below could alias the target's fields.
    const int64_t clipLeft = target.clipLeft, clipRight = target.clipRight, paintedLeft = target.paintedLeft;
    const int64_t paintedWords = target.paintedWords;
    const ptrdiff_t stride = target.stride;
    uint32_t* const pixels = target.pixels;
    size_t next = 0;
    for (int32_t y = edges_.empty() ? 0 : edges_.front().yTop; next < edges_.size() || !active_.empty();) {
        std::erase_if(active_, [y](const Edge* e) { return e->yBottom <= y; });
        for (; next < edges_.size() && edges_[next].yTop == y; ++next) active_.push_back(&edges_[next]);
        if (active_.empty()) {
            if (next < edges_.size()) y = edges_[next].yTop;
            continue;
        }
        // The rows up to the next edge's start or end cross the same edges.
        int32_t until = next < edges_.size() ? edges_[next].yTop : target.clipBottom;
        for (const Edge* e : active_) until = std::min(until, e->yBottom);
        // The index of the row's pixel x is row + x.
        int64_t row = target.origin + y * stride;
        const auto fill = [&](int64_t x, int64_t n) { FillPixels(pixels + (row + x), n, pixel); };
        if (active_.size() == 2) {
            // Most rings are quadrilaterals: one span per row whatever the rule.
            Edge &a = *active_[0], &b = *active_[1];
            uint64_t* words = target.PaintedRow(y);
            for (; y < until; ++y, row += stride, words += paintedWords, a.Step(), b.Step()) {
                const int64_t left = std::max<int64_t>(std::min(a.x, b.x), clipLeft);
                const int64_t right = std::min<int64_t>(std::max(a.x, b.x), clipRight);
                if (left < right) ForOpenRuns(words, paintedLeft, left, right, fill);
            }
            continue;
        }
        for (; y < until; ++y, row += stride) {
            // Crossings move little from row to row: an insertion sort is near linear.
            for (size_t i = 1; i < active_.size(); ++i)
                for (size_t j = i; j > 0 && active_[j - 1]->x > active_[j]->x; --j) std::swap(active_[j - 1], active_[j]);
            int32_t winding = 0;
            for (size_t i = 0; i + 1 < active_.size(); ++i) {
                winding += active_[i]->winding;
                const bool inside = rule == FillRule::kEvenOdd ? i % 2 == 0 : winding != 0;
                const int64_t left = std::max<int64_t>(active_[i]->x, clipLeft);
                const int64_t right = std::min<int64_t>(active_[i + 1]->x, clipRight);
                if (inside && left < right) ForOpenRuns(target.PaintedRow(y), paintedLeft, left, right, fill);
            }
            for (Edge* e : active_) e->Step();
        }
    }
    edges_.clear();
}

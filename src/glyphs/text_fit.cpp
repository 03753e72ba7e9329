#include "glyphs/text_fit.h"

#include <algorithm>
#include <cmath>

#include "glyphs/outline_union.h"

namespace {

// Curves become chords within 1/5000 of the em: about 0.02 shape units at
// the default layout, far below the grid.
constexpr double kFlatness = 0.0002;

struct Extent {
    double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL;
    bool empty() const { return minX > maxX; }
    void Add(const std::vector<Ring>& rings) {
        for (const Ring& ring : rings)
            for (const Vec2& p : ring) {
                minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
            }
    }
};

}  // namespace

FittedText FitText(const FontGlyphs& font, const TextLayout& layout) {
    FittedText text;
    text.unitsPerEm = font.unitsPerEm;
    std::vector<std::vector<Ring>> unions;
    std::vector<Extent> extents;
    Extent whole;
    for (const GlyphOutline& glyph : font.glyphs) {
        unions.push_back(glyph.present ? NonZeroUnion(FlattenOutline(glyph, kFlatness * font.unitsPerEm))
                                       : std::vector<Ring>{});
        extents.emplace_back().Add(unions.back());
        whole.Add(unions.back());
    }

    double widest = 0;
    for (const Extent& e : extents)
        if (!e.empty()) widest = std::max(widest, e.maxX - e.minX);
    if (!whole.empty()) {
        const double height = whole.maxY - whole.minY;
        text.scale = std::min(height > 0 ? 2 * layout.halfHeight / height : HUGE_VAL,
                              widest > 0 ? 2 * layout.halfWidth / widest : HUGE_VAL);
        if (!std::isfinite(text.scale)) text.scale = 0;
        text.middleY = (whole.minY + whole.maxY) / 2;
    }

    const FitLimits limits{.halfWidth = layout.halfWidth, .halfHeight = layout.halfHeight};
    for (size_t g = 0; g < unions.size(); ++g) {
        const Extent& e = extents[g];
        text.middleX.push_back(e.empty() ? 0 : (e.minX + e.maxX) / 2);
        std::vector<Ring>& rings = text.outlines.emplace_back();
        if (text.scale > 0)
            for (const Ring& ring : unions[g]) {
                Ring& out = rings.emplace_back();
                for (const Vec2& p : ring)
                    out.push_back({(p.x - text.middleX[g]) * text.scale, (p.y - text.middleY) * text.scale});
            }
        text.glyphs.push_back(rings.empty() ? FittedGlyph{} : FitGlyph(rings, limits));
    }
    return text;
}

double DeviationPercent(const FittedText& text, size_t glyph) {
    const double em = text.scale * text.unitsPerEm;
    return em > 0 ? 100 * text.glyphs[glyph].deviation / em : 0;
}

std::string FormatShapeRecord(std::string_view name, const FittedGlyph& glyph) {
    std::string value(name);
    auto add = [&](long number) { value.append(",").append(std::to_string(number)); };
    long points = 0;
    for (const auto& contour : glyph.contours) points += long(contour.size());
    add(points);
    for (int header = 0; header < 5; ++header) add(0);  // spare and no reversed side points
    add(long(glyph.contours.size()));
    long first = 1;
    for (size_t c = 0; c < size_t(kMaxContours); ++c) {
        if (c < glyph.contours.size()) {
            add(first);
            add(first + long(glyph.contours[c].size()) - 1);
            first += long(glyph.contours[c].size());
        } else {
            add(0);
            add(0);
        }
    }
    for (const auto& contour : glyph.contours)
        for (const ShapePoint& p : contour) {
            add(p.x);
            add(p.y);
        }
    return value;
}

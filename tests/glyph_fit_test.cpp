// The glyph fitting judged by a measure of its own (outlines flattened here,
// a symmetric Hausdorff distance), and against a Douglas-Peucker fit with the
// best single tolerance on the same budget and grid: by the fit's own
// measure, no glyph may be worse than that.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

#include "glyphs/font_source.h"
#include "glyphs/outline_union.h"
#include "glyphs/text_fit.h"
#include "glyphs/text_letters.h"

namespace {

using Polygon = std::vector<std::vector<ShapePoint>>;

const char kSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char kSansBold[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char kGothic[] = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

std::u32string Range(char32_t first, char32_t last) {
    std::u32string text;
    for (char32_t c = first; c <= last; ++c) text += c;
    return text;
}

// The font's curves cut into 16 equal steps each, laid out as the fit laid them out.
std::vector<Ring> OwnOutline(const GlyphOutline& glyph, const FittedText& text, size_t g) {
    auto place = [&](Vec2 p) { return Vec2{(p.x - text.middleX[g]) * text.scale, (p.y - text.middleY) * text.scale}; };
    std::vector<Ring> rings;
    for (const CurveContour& contour : glyph.contours) {
        Ring& ring = rings.emplace_back();
        Vec2 from = contour.start;
        for (const CurveSegment& s : contour.segments) {
            const int steps = s.kind == CurveSegment::kLine ? 1 : 16;
            for (int i = 1; i <= steps; ++i) {
                const double t = double(i) / steps, u = 1 - t;
                Vec2 p = s.to;
                if (s.kind == CurveSegment::kQuadratic) p = u * u * from + 2 * u * t * s.control1 + t * t * s.to;
                if (s.kind == CurveSegment::kCubic)
                    p = u * u * u * from + 3 * u * u * t * s.control1 + 3 * u * t * t * s.control2 + t * t * t * s.to;
                ring.push_back(place(p));
            }
            from = s.to;
        }
        if (ring.size() < 3) rings.pop_back();  // a stray line or point encloses nothing
    }
    return rings;
}

double PointToSegment(Vec2 p, Vec2 a, Vec2 b) {
    const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
    const double t = length2 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0;
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

struct Segment {
    Vec2 a, b;
};

std::vector<Segment> Segments(const std::vector<Ring>& rings) {
    std::vector<Segment> out;
    for (const Ring& r : rings)
        for (size_t i = 0; i < r.size(); ++i) out.push_back({r[i], r[(i + 1) % r.size()]});
    return out;
}

std::vector<Ring> ToRings(const Polygon& polygon) {
    std::vector<Ring> rings;
    for (const auto& c : polygon) {
        Ring& r = rings.emplace_back();
        for (ShapePoint p : c) r.push_back({double(p.x), double(p.y)});
    }
    return rings;
}

// The segments of an outline sorted into square cells, to find the nearest one quickly.
class SegmentGrid {
public:
    explicit SegmentGrid(const std::vector<Segment>& segments) : segments_(segments) {
        for (size_t k = 0; k < segments.size(); ++k) {
            const Segment& s = segments[k];
            for (int x = Cell(std::min(s.a.x, s.b.x)); x <= Cell(std::max(s.a.x, s.b.x)); ++x)
                for (int y = Cell(std::min(s.a.y, s.b.y)); y <= Cell(std::max(s.a.y, s.b.y)); ++y)
                    cells_[Key(x, y)].push_back(k);
        }
    }

    // Rings of cells around p until no unseen segment can be nearer.
    double Distance(Vec2 p) const {
        double best = HUGE_VAL;
        const int cx = Cell(p.x), cy = Cell(p.y);
        for (int r = 0; r < 200; ++r) {
            for (int x = cx - r; x <= cx + r; ++x)
                for (int y = cy - r; y <= cy + r; ++y) {
                    if (std::max(std::abs(x - cx), std::abs(y - cy)) != r) continue;
                    const auto found = cells_.find(Key(x, y));
                    if (found == cells_.end()) continue;
                    for (size_t k : found->second)
                        best = std::min(best, PointToSegment(p, segments_[k].a, segments_[k].b));
                }
            if (best <= r * kCell) break;
        }
        return best;
    }

private:
    static constexpr double kCell = 2.0;
    static int Cell(double v) { return int(std::floor(v / kCell)); }
    static long Key(int x, int y) { return long(x) * 100000 + y; }
    const std::vector<Segment>& segments_;
    std::unordered_map<long, std::vector<size_t>> cells_;
};

// The largest distance from points densely along `from` to the nearest of `to`.
double Directed(const std::vector<Segment>& from, const std::vector<Segment>& to) {
    const SegmentGrid grid(to);
    double worst = 0;
    for (const Segment& s : from) {
        const int steps = std::max(1, int(std::ceil(std::hypot(s.b.x - s.a.x, s.b.y - s.a.y) / 0.2)));
        for (int i = 0; i < steps; ++i) worst = std::max(worst, grid.Distance(s.a + (double(i) / steps) * (s.b - s.a)));
    }
    return worst;
}

double Hausdorff(const Polygon& fitted, const std::vector<Ring>& outline) {
    const std::vector<Segment> a = Segments(ToRings(fitted)), b = Segments(outline);
    return std::max(Directed(a, b), Directed(b, a));
}

struct Farthest {
    double distance;
    size_t at;
};

// The point of the open chain ring[i..j] (indices may pass the end) farthest
// from its chord, the first of equals; measured as the fit measures, so that
// near-equal distances part the same way.
Farthest FarthestPoint(const Ring& ring, size_t i, size_t j) {
    const size_t n = ring.size();
    Farthest far{-1, i};
    for (size_t k = i + 1; k < j; ++k)
        if (const double d = DistanceToSegment(ring[k % n], ring[i % n], ring[j % n]); d > far.distance) far = {d, k};
    return far;
}

// Douglas-Peucker on the open chain ring[i..j]; a point within a millionth of its chord lies on it.
void Peucker(const Ring& ring, size_t i, size_t j, double tolerance, std::vector<size_t>& kept) {
    const Farthest far = FarthestPoint(ring, i, j);
    if (far.distance <= std::max(tolerance, 1e-6)) return;
    Peucker(ring, i, far.at, tolerance, kept);
    kept.push_back(far.at % ring.size());
    Peucker(ring, far.at, j, tolerance, kept);
}

Polygon DouglasPeucker(const std::vector<Ring>& rings, double tolerance) {
    Polygon polygon;
    for (const Ring& ring : rings) {
        size_t far = 0;
        for (size_t k = 1; k < ring.size(); ++k)
            if (std::hypot(ring[k].x - ring[0].x, ring[k].y - ring[0].y) >
                std::hypot(ring[far].x - ring[0].x, ring[far].y - ring[0].y))
                far = k;
        std::vector<size_t> kept{0};
        Peucker(ring, 0, far, tolerance, kept);
        kept.push_back(far);
        Peucker(ring, far, ring.size(), tolerance, kept);
        if (kept.size() < 3) {  // a contour keeps three points at least: the farther chain's farthest
            const Farthest left = FarthestPoint(ring, 0, far), right = FarthestPoint(ring, far, ring.size());
            kept.push_back((right.distance > left.distance ? right.at : left.at) % ring.size());
            std::sort(kept.begin(), kept.end());
        }
        auto& c = polygon.emplace_back();
        for (size_t k : kept) c.push_back({int32_t(std::lround(ring[k].x)), int32_t(std::lround(ring[k].y))});
    }
    return polygon;
}

size_t CountPoints(const Polygon& p) {
    size_t n = 0;
    for (const auto& c : p) n += c.size();
    return n;
}

// No two segments of the fitted polygon meet except consecutive ones at their
// common point, or any two at a point that is a vertex of both.
bool HasCrossing(const Polygon& polygon) {
    const std::vector<Segment> s = Segments(ToRings(polygon));
    auto side = [](Vec2 o, Vec2 a, Vec2 b) {
        const double c = (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
        return (c > 0) - (c < 0);
    };
    auto on = [](Vec2 p, const Segment& t) { return PointToSegment(p, t.a, t.b) == 0; };
    auto same = [](Vec2 p, Vec2 q) { return p.x == q.x && p.y == q.y; };
    for (size_t i = 0; i < s.size(); ++i)
        for (size_t j = i + 1; j < s.size(); ++j) {
            const Segment &p = s[i], &q = s[j];
            const bool sharesEnd = same(p.a, q.a) || same(p.a, q.b) || same(p.b, q.a) || same(p.b, q.b);
            if (side(p.a, p.b, q.a) * side(p.a, p.b, q.b) < 0 && side(q.a, q.b, p.a) * side(q.a, q.b, p.b) < 0)
                return true;
            const int touches = on(p.a, q) + on(p.b, q) + on(q.a, p) + on(q.b, p);
            if (touches > (sharesEnd ? 2 : 0)) return true;
        }
    return false;
}

// The baseline: of the tolerances from the least that keeps the budget to
// 2.33 times it, the one whose rounded fit deviates least by the fit's own
// measure, among those that cross nowhere; none when all cross.
Polygon PlainFit(const std::vector<Ring>& outline) {
    std::vector<Ring> rings;  // as the fit takes them: the 13 largest of those a grid cell can hold
    for (const Ring& ring : outline)
        if (std::fabs(SignedArea(ring)) >= 1) rings.push_back(ring);
    std::stable_sort(rings.begin(), rings.end(),
                     [](const Ring& a, const Ring& b) { return std::fabs(SignedArea(a)) > std::fabs(SignedArea(b)); });
    if (rings.size() > 13) rings.resize(13);
    double low = 0, high = 100;
    for (int i = 0; i < 40; ++i) {
        const double mid = (low + high) / 2;
        (CountPoints(DouglasPeucker(rings, mid)) <= 45 ? high : low) = mid;
    }
    Polygon best;
    double least = HUGE_VAL;
    for (int k = 0; k < 12; ++k) {
        Polygon fit = DouglasPeucker(rings, high * std::pow(1.08, k));
        if (HasCrossing(fit)) continue;
        if (const double deviation = OutlineDeviation(fit, outline); deviation < least) least = deviation, best = fit;
    }
    return best;
}

struct SetOutcome {
    double worst = 0, worstBaseline = 0;  // percent of the em
};

// Fits `text` in one font at the default layout and checks every glyph.
SetOutcome CheckSet(const char* font, const std::u32string& text, double goalPercent) {
    std::string error;
    const std::optional<FontGlyphs> glyphs = LoadGlyphs({font, 0, font}, text, error);
    EXPECT_TRUE(glyphs) << error;
    if (!glyphs) return {};
    const FittedText fitted = FitText(*glyphs);
    const double em = fitted.scale * glyphs->unitsPerEm;
    const bool table = std::getenv("KORUNEX_FIT_TABLE") != nullptr;
    SetOutcome outcome;
    for (size_t g = 0; g < glyphs->glyphs.size(); ++g) {
        const GlyphOutline& glyph = glyphs->glyphs[g];
        if (!glyph.present || glyph.contours.empty()) continue;
        const FittedGlyph& fit = fitted.glyphs[g];
        const std::vector<Ring> own = OwnOutline(glyph, fitted, g);
        const double ours = 100 * Hausdorff(fit.contours, own) / em;
        const Polygon plain = PlainFit(fitted.outlines[g]);
        const double baseline = plain.empty() ? 0 : 100 * Hausdorff(plain, own) / em;
        const unsigned code = unsigned(glyph.character);
        const size_t points = CountPoints(fit.contours);
        EXPECT_LE(points, 45u) << code;
        EXPECT_LE(fit.contours.size(), 13u) << code;
        for (const auto& c : fit.contours) {
            EXPECT_GE(c.size(), 3u) << code;
            for (ShapePoint p : c) EXPECT_TRUE(std::abs(p.x) <= 45 && std::abs(p.y) <= 55) << code;
        }
        EXPECT_FALSE(HasCrossing(fit.contours)) << "U+" << std::hex << code;
        if (!plain.empty()) {
            EXPECT_LE(fit.deviation, OutlineDeviation(plain, fitted.outlines[g])) << "U+" << std::hex << code;
        }
        EXPECT_LT(ours, goalPercent) << "U+" << std::hex << code;
        outcome.worst = std::max(outcome.worst, ours);
        outcome.worstBaseline = std::max(outcome.worstBaseline, baseline);
        if (table)
            std::printf("U+%04X  %2zu points  %2zu contours  %d dropped  %.3f %%  baseline %.3f %%\n", code, points,
                        fit.contours.size(), fit.droppedContours, ours, baseline);
    }
    std::printf("worst %.3f %% of the em, baseline's worst %.3f %%\n", outcome.worst, outcome.worstBaseline);
    EXPECT_LE(outcome.worst, 0.8 * outcome.worstBaseline);
    return outcome;
}

const std::u32string kCapitalsAndDigits = Range(U'A', U'Z') + Range(U'0', U'9');
const std::u32string kLowerCase = Range(U'a', U'z');

TEST(GlyphFit, LatinLettersBeatTheBaselineAndStayUnderOnePercentOfTheEm) {
    for (const char* font : {kSans, kSansBold}) {
        CheckSet(font, kCapitalsAndDigits, 1.0);
        CheckSet(font, kLowerCase, 1.0);
    }
    CheckSet(kSansBold, Range(U'0', U'9'), 1.0);  // a clock's digits, at their own scale
}

TEST(GlyphFit, KanaBeatTheBaselineAndStayUnderOnePointEightPercentOfTheEm) {
    CheckSet(kGothic, Range(U'\u3041', U'\u3096'), 1.8);
    CheckSet(kGothic, Range(U'\u30A1', U'\u30FA'), 1.8);
}

Ring Square(double x, double y, double half, bool clockwise = false) {
    Ring r{{x - half, y - half}, {x + half, y - half}, {x + half, y + half}, {x - half, y + half}};
    if (clockwise) std::reverse(r.begin(), r.end());
    return r;
}

double TotalArea(const std::vector<Ring>& rings) {
    double area = 0;
    for (const Ring& r : rings) area += SignedArea(r);
    return area;
}

TEST(GlyphFit, OverlappingContoursMergeIntoTheirNonZeroUnion) {
    // Two squares overlapping by a quarter: one outline of 7/4 the area.
    const std::vector<Ring> merged = NonZeroUnion({Square(0, 0, 10), Square(10, 10, 10)});
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_NEAR(SignedArea(merged[0]), 700, 1e-6);
    // A square inside one that runs the same way adds nothing; one that runs the other way is a hole.
    EXPECT_EQ(NonZeroUnion({Square(0, 0, 20), Square(0, 0, 5)}).size(), 1u);
    const std::vector<Ring> holed = NonZeroUnion({Square(0, 0, 20), Square(0, 0, 5, true)});
    ASSERT_EQ(holed.size(), 2u);
    EXPECT_NEAR(TotalArea(holed), 1600 - 100, 1e-6);

    // A plus sign drawn as two crossing bars fits as one contour, with no wall inside.
    GlyphOutline plus{U'+', true, {}};
    for (const Ring& bar :
         {Ring{{-40, -8}, {40, -8}, {40, 8}, {-40, 8}}, Ring{{-8, -40}, {8, -40}, {8, 40}, {-8, 40}}}) {
        CurveContour& c = plus.contours.emplace_back(CurveContour{bar[0], {}});
        for (size_t k = 1; k <= bar.size(); ++k)
            c.segments.push_back({CurveSegment::kLine, {}, {}, bar[k % bar.size()]});
    }
    const FittedText text = FitText({100, {plus}});
    ASSERT_EQ(text.glyphs[0].contours.size(), 1u);
    EXPECT_EQ(text.glyphs[0].contours[0].size(), 12u);
    EXPECT_FALSE(HasCrossing(text.glyphs[0].contours));
    EXPECT_LT(text.glyphs[0].deviation, 0.75);
}

TEST(GlyphFit, BeyondTheLimitsTheLargestContoursStayAndTheRestIsReported) {
    // Twenty squares of growing size: the thirteen largest stay.
    std::vector<Ring> rings;
    for (int k = 0; k < 20; ++k) rings.push_back(Square(-40 + (k % 5) * 20, -40 + (k / 5) * 25, 3 + k * 0.2));
    const FittedGlyph fit = FitGlyph(rings);
    EXPECT_EQ(fit.contours.size(), 13u);
    EXPECT_EQ(fit.droppedContours, 7);
    EXPECT_LE(CountPoints(fit.contours), 45u);
    for (const auto& c : fit.contours) {  // each stands in for one of the thirteen largest
        const double x = (c[0].x + c[1].x + c[2].x) / 3.0, y = (c[0].y + c[1].y + c[2].y) / 3.0;
        int nearest = 0;
        for (int k = 1; k < 20; ++k)
            if (std::hypot(x - (-40 + (k % 5) * 20), y - (-40 + (k / 5) * 25)) <
                std::hypot(x - (-40 + (nearest % 5) * 20), y - (-40 + (nearest / 5) * 25)))
                nearest = k;
        EXPECT_GE(nearest, 7);
    }
    EXPECT_FALSE(HasCrossing(fit.contours));
    // The dropped squares are what the deviation reports: far off.
    EXPECT_GT(fit.deviation, 3.0);

    // A kanji needs far more than 45 points: still a sound record, and the report says how far off.
    std::string error;
    const auto kanji = LoadGlyphs({kGothic, 0, kGothic}, U"鬱", error);
    ASSERT_TRUE(kanji) << error;
    const FittedText text = FitText(*kanji);
    const FittedGlyph& dense = text.glyphs[0];
    EXPECT_LE(CountPoints(dense.contours), 45u);
    EXPECT_LE(dense.contours.size(), 13u);
    EXPECT_FALSE(HasCrossing(dense.contours));
    EXPECT_GT(DeviationPercent(text, 0), 1.8);
    EXPECT_NEAR(
        DeviationPercent(text, 0),
        100 * Hausdorff(dense.contours, OwnOutline(kanji->glyphs[0], text, 0)) / (text.scale * kanji->unitsPerEm),
        0.05);
}

TEST(GlyphFit, RecordsCarryTheFitAndBlankOrMissingGlyphsNone) {
    std::string error;
    const auto glyphs = LoadGlyphs({kSansBold, 0, kSansBold}, U"B \u4E00", error);
    ASSERT_TRUE(glyphs) << error;
    EXPECT_TRUE(glyphs->glyphs[1].present);
    EXPECT_FALSE(glyphs->glyphs[2].present);  // no kanji in this font
    const FittedText text = FitText(*glyphs);
    EXPECT_TRUE(text.glyphs[1].contours.empty());
    EXPECT_TRUE(text.glyphs[2].contours.empty());

    const std::string value = FormatShapeRecord("B", text.glyphs[0]);
    ShapeRecord shape;
    ParseShapeRecord(value, "ZAHYO-END", shape);
    ASSERT_EQ(shape.contourCount, 3);  // the outline and its two holes
    EXPECT_LE(value.size(), kRecordBufferSize - 1);
    int point = 1;
    for (int c = 0; c < 3; ++c) {
        const auto& fitted = text.glyphs[0].contours[size_t(c)];
        EXPECT_EQ(shape.contours[c + 1].first, point);
        EXPECT_EQ(shape.contours[c + 1].last, point + int(fitted.size()) - 1);
        for (ShapePoint p : fitted) EXPECT_EQ(shape.points[point++], p);
    }
    EXPECT_EQ(shape.pointCount, point - 1);
}

TEST(GlyphFit, ATextFitsEachCharacterOnceAndGivesEveryRepeatTheRecordOfAWholeFit) {
    // Repeats of tall, deep and blank characters: the scale must not change.
    const std::u32string text = U"gÅ.g gÅ";
    std::string error;
    auto letters = LoadLetters("gÅ.g gÅ", {kSansBold, 0, kSansBold}, error);
    ASSERT_TRUE(letters) << error;
    FitLetters(*letters);
    EXPECT_EQ(letters->distinct, U"gÅ. ");
    const auto glyphs = LoadGlyphs({kSansBold, 0, kSansBold}, text, error);
    ASSERT_TRUE(glyphs) << error;
    const FittedText whole = FitText(*glyphs);
    const std::vector<TextRecord> records = LetterRecords(*letters, NameBytes::kCodePage);
    ASSERT_EQ(records.size(), text.size());
    for (size_t k = 0; k < text.size(); ++k) {
        const std::string expected =
            whole.glyphs[k].contours.empty() ? "" : FormatShapeRecord(RecordName(text[k]), whole.glyphs[k]);
        EXPECT_EQ(records[k].value, expected) << k;
    }
}

}  // namespace

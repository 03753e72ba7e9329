#include "raster/raster_calls.h"

#include <ostream>
#include <sstream>
#include <vector>

namespace {

void StartCase(Raster& raster, int32_t width, int32_t height) {
    raster.BeginFrame(width, height);
    raster.CopyFromWindow(0, 0);
}

void FillBlack(Raster& raster, int32_t width, int32_t height) {
    const RasterPoint corners[4] = {{0, 0}, {width, 0}, {width, height}, {0, height}};
    raster.FillPolygon(corners, 4, Rgb{0, 0, 0}, FillRule::kWinding);
}

// Points "x,y" up to the end or a lone ";", which ends a ring.
bool ReadRings(std::istringstream& in, std::vector<RasterPoint>& points, std::vector<int>& counts) {
    int count = 0;
    for (std::string word; in >> word;) {
        if (word == ";") {
            counts.push_back(count), count = 0;
            continue;
        }
        RasterPoint p;
        char comma = 0;
        std::istringstream pair(word);
        if (!(pair >> p.x >> comma >> p.y) || comma != ',') return false;
        points.push_back(p), ++count;
    }
    counts.push_back(count);
    return true;
}

bool ReadColour(std::istringstream& in, Rgb& colour) {
    int r, g, b;
    if (!(in >> r >> g >> b) || r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) return false;
    colour = {uint8_t(r), uint8_t(g), uint8_t(b)};
    return true;
}

bool DrawLine(const std::string& line, Raster& raster, int32_t width, int32_t height) {
    std::istringstream in(line);
    std::string call;
    in >> call;
    std::vector<RasterPoint> points;
    std::vector<int> counts;
    Rgb colour{};
    if (call == "case") {
        std::string start;
        in >> start;
        if (start == "black") {
            // As the frame cycle starts a frame: the window's last frame stays below.
            raster.BeginFrame(width, height);
            FillBlack(raster, width, height);
        } else if (start.empty()) {
            StartCase(raster, width, height);
        } else {
            return false;
        }
    } else if (call == "black") {
        FillBlack(raster, width, height);
    } else if (call == "poly") {
        std::string rule;
        if (!(in >> rule) || (rule != "alt" && rule != "wind") || !ReadColour(in, colour) ||
            !ReadRings(in, points, counts) || counts.size() != 1)
            return false;
        raster.FillPolygon(points.data(), counts[0], colour, rule == "alt" ? FillRule::kEvenOdd : FillRule::kWinding);
    } else if (call == "region") {
        if (!ReadColour(in, colour) || !ReadRings(in, points, counts)) return false;
        raster.PaintRegion(points.data(), counts.data(), int(counts.size()), colour);
    } else if (call == "lines") {
        if (!ReadRings(in, points, counts)) return false;
        raster.DrawPolylines(points.data(), counts.data(), int(counts.size()));
    } else {
        return false;
    }
    return true;
}

// A small generator of our own, so that both platforms draw the same numbers.
class Draws {
public:
    explicit Draws(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t Next() {
        state_ ^= state_ << 13, state_ ^= state_ >> 7, state_ ^= state_ << 17;
        return uint32_t(state_ >> 32);
    }
    // A whole number in lo..hi.
    int32_t In(int32_t lo, int32_t hi) { return lo + int32_t(Next() % uint32_t(hi - lo + 1)); }
    bool OneIn(int n) { return Next() % uint32_t(n) == 0; }

private:
    uint64_t state_;
};

// A point near `around`, mostly within the frame, sometimes past its edges.
RasterPoint PointNear(Draws& draws, RasterPoint around, int32_t spread, int32_t width, int32_t height) {
    if (draws.OneIn(12)) return {draws.In(-width, 2 * width), draws.In(-height, 2 * height)};
    return {around.x + draws.In(-spread, spread), around.y + draws.In(-spread, spread)};
}

// A ring of `count` points: a small face like the renderer's, or anything.
void AddRing(Draws& draws, int count, int32_t width, int32_t height, std::vector<RasterPoint>& points) {
    const RasterPoint centre{draws.In(0, width), draws.In(0, height)};
    const int32_t spread = draws.OneIn(3) ? draws.In(1, 4) : draws.In(1, std::max(width, height) / 2);
    for (int k = 0; k < count; ++k) {
        // Repeated and in-line points, as edge-on faces give them.
        if (k > 0 && draws.OneIn(10)) {
            points.push_back(points.back());
        } else if (k > 1 && draws.OneIn(10)) {
            const RasterPoint a = points[points.size() - 2], b = points.back();
            points.push_back({2 * b.x - a.x, 2 * b.y - a.y});
        } else {
            points.push_back(PointNear(draws, centre, spread, width, height));
        }
    }
}

Rgb AnyColour(Draws& draws) {
    return {uint8_t(draws.In(1, 255)), uint8_t(draws.In(0, 255)), uint8_t(draws.In(0, 255))};
}

}  // namespace

int DrawScript(std::istream& script, Raster& raster, int32_t width, int32_t height,
               const std::function<void(int)>& caseDone, std::string& error) {
    int cases = 0, lineNumber = 0;
    bool open = false;
    for (std::string line; std::getline(script, line);) {
        ++lineNumber;
        if (line.find_first_not_of(" \t\r") == std::string::npos || line[0] == '#') continue;
        const bool startsCase = line.rfind("case", 0) == 0;
        if (startsCase && open) raster.PresentFrame(0, 0), caseDone(cases++);
        if (!startsCase && !open) {
            error = "line " + std::to_string(lineNumber) + ": a call before the first case";
            return -1;
        }
        open = true;
        if (!DrawLine(line, raster, width, height)) {
            error = "line " + std::to_string(lineNumber) + ": cannot read \"" + line + "\"";
            return -1;
        }
    }
    if (open) raster.PresentFrame(0, 0), caseDone(cases++);
    return cases;
}

void DrawSeededCase(uint32_t seed, int index, Raster& raster, int32_t width, int32_t height) {
    Draws draws(uint64_t(seed) << 32 | uint32_t(index));
    StartCase(raster, width, height);
    if (draws.OneIn(2)) FillBlack(raster, width, height);
    std::vector<RasterPoint> points;
    std::vector<int> counts;
    const int calls = draws.In(1, 6);
    for (int call = 0; call < calls; ++call) {
        points.clear(), counts.clear();
        switch (draws.In(0, 3)) {
            case 0:
            case 1: {  // a polygon, mostly a quadrilateral as the side faces are
                const int count = draws.OneIn(2) ? 4 : draws.In(1, 9);
                AddRing(draws, count, width, height, points);
                raster.FillPolygon(points.data(), count, AnyColour(draws),
                                   draws.OneIn(2) ? FillRule::kEvenOdd : FillRule::kWinding);
                break;
            }
            case 2: {  // a region of closed rings, as a cap with its holes
                const int rings = draws.In(1, 5);
                for (int r = 0; r < rings; ++r) {
                    const size_t first = points.size();
                    const int count = draws.In(2, 8);  // the renderer's rings have two points or more
                    AddRing(draws, count, width, height, points);
                    if (draws.OneIn(4) == false) points.push_back(points[first]);
                    counts.push_back(int(points.size() - first));
                }
                raster.PaintRegion(points.data(), counts.data(), rings, AnyColour(draws));
                break;
            }
            default: {  // polylines, often closed as the outlines are
                const int lines = draws.In(1, 4);
                for (int l = 0; l < lines; ++l) {
                    const size_t first = points.size();
                    AddRing(draws, draws.In(1, 6), width, height, points);
                    if (draws.OneIn(2)) points.push_back(points[first]);
                    counts.push_back(int(points.size() - first));
                }
                raster.DrawPolylines(points.data(), counts.data(), lines);
                break;
            }
        }
    }
    raster.PresentFrame(0, 0);
}

namespace {

// Writes the calls it gets as script lines.
class ScriptWriter final : public Raster {
public:
    explicit ScriptWriter(std::ostream& out) : out_(out) {}
    void BeginFrame(int32_t, int32_t) override { out_ << "case\n"; }
    void FillPolygon(const RasterPoint* points, int count, Rgb colour, FillRule rule) override {
        out_ << "poly " << (rule == FillRule::kEvenOdd ? "alt " : "wind ") << Colour(colour);
        Points(points, count);
        out_ << "\n";
    }
    void PaintRegion(const RasterPoint* points, const int* counts, int ringCount, Rgb colour) override {
        out_ << "region " << Colour(colour);
        Rings(points, counts, ringCount);
    }
    void DrawPolylines(const RasterPoint* points, const int* counts, int polylineCount) override {
        out_ << "lines";
        Rings(points, counts, polylineCount);
    }
    void CopyFromWindow(int32_t, int32_t) override {}
    void CopyFromSnapshot(int32_t, int32_t) override {}
    void PresentFrame(int32_t, int32_t) override {}

private:
    static std::string Colour(Rgb c) {
        return std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b);
    }
    void Points(const RasterPoint* points, int count) {
        for (int i = 0; i < count; ++i) out_ << " " << points[i].x << "," << points[i].y;
    }
    void Rings(const RasterPoint* points, const int* counts, int ringCount) {
        for (int r = 0; r < ringCount; points += counts[r], ++r) {
            if (r > 0) out_ << " ;";
            Points(points, counts[r]);
        }
        out_ << "\n";
    }
    std::ostream& out_;
};

}  // namespace

void WriteSeededCase(uint32_t seed, int index, int32_t width, int32_t height, std::ostream& out) {
    ScriptWriter writer(out);
    DrawSeededCase(seed, index, writer, width, height);
}

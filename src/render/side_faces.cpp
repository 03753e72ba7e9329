#include "render/side_faces.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

#include "scene/numbers.h"

namespace {

// Positions are compared at 13 significant digits, depths at 12, so that
// noise cannot flip a test for points that lie on a line.
constexpr int kPositionDigits = 13;
constexpr int kDepthDigits = 12;

// Turn of a -> b -> c in the view's (x, y) plane: positive is counter-clockwise.
double Turn(const ViewPoint& a, const ViewPoint& b, const ViewPoint& c) {
    return (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
}

struct Vector {
    double x, y, z;
};

Vector Difference(const ViewPoint& a, const ViewPoint& b) { return {a.x - b.x, a.y - b.y, a.depth - b.depth}; }

Vector Cross(const Vector& a, const Vector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// One edge of a face with its rounded end points and its line y = k x + b.
struct Edge {
    const ViewPoint* p;
    const ViewPoint* q;
    double xp, yp, xq, yq;  // rounded
    bool isVertical;
    double k, b;

    double MinX() const { return std::min(xp, xq); }
    double MaxX() const { return std::max(xp, xq); }
    double MinY() const { return std::min(yp, yq); }
    double MaxY() const { return std::max(yp, yq); }
    bool Holds(double x, double y) const { return MinX() <= x && x <= MaxX() && MinY() <= y && y <= MaxY(); }

    // The edge's depth where it passes (x, y), from its unrounded end points.
    double DepthAt(double x, double y) const {
        const double run = isVertical ? q->y - p->y : q->x - p->x;
        const double slope = run != 0.0 ? (q->depth - p->depth) / run : 0.0;
        return p->depth + slope * (isVertical ? y - p->y : x - p->x);
    }
};

// The view x and y of a slot's corners rounded to kPositionDigits, each
// rounded once when first asked for: neighbouring faces share corners.
class RoundedCorners {
public:
    explicit RoundedCorners(const LogoSlot& slot) : slot_(slot) {}
    const double* Of(const ViewPoint* corner) {
        const ptrdiff_t k = corner - slot_.viewPoints;
        if (!isRounded_[k]) {
            xy_[k][0] = RoundSignificant(corner->x, kPositionDigits);
            xy_[k][1] = RoundSignificant(corner->y, kPositionDigits);
            isRounded_[k] = true;
        }
        return xy_[k];
    }

private:
    const LogoSlot& slot_;
    bool isRounded_[kMaxCorners + 1] = {};
    double xy_[kMaxCorners + 1][2];
};

Edge MakeEdge(const ViewPoint& p, const ViewPoint& q, RoundedCorners& rounded) {
    const double *rp = rounded.Of(&p), *rq = rounded.Of(&q);
    Edge e{&p, &q, rp[0], rp[1], rq[0], rq[1], false, 0.0, 0.0};
    e.isVertical = e.xp == e.xq;
    if (!e.isVertical) {
        e.k = (e.yq - e.yp) / (e.xq - e.xp);
        e.b = e.yp - e.xp * e.k;
    }
    return e;
}

// A visible side face with what the comparisons need of it.
struct Face {
    int32_t number;
    bool isPlaced;
    const ViewPoint* corners[4];
    double minX, maxX, minY, maxY;  // screen box over the view x and y of its corners
    Vector normal;                  // points away from the viewer
    bool hasEdges;                  // see MakeEdges
    Edge edges[4];

    // Signed distance-like value: positive on the far side of the face's plane.
    double Side(const ViewPoint& point) const {
        const Vector d = Difference(point, *corners[2]);
        return normal.x * d.x + normal.y * d.y + normal.z * d.z;
    }
    bool HasAllBehind(const Face& other) const {  // every corner of `other` beyond this plane
        return std::all_of(other.corners, other.corners + 4, [&](const ViewPoint* c) { return Side(*c) > 0; });
    }
    bool HasAllInFront(const Face& other) const {
        return std::all_of(other.corners, other.corners + 4, [&](const ViewPoint* c) { return Side(*c) < 0; });
    }
};

// Made in place: a face is large, and its edges wait until it is compared.
void MakeFace(Face& face, const LogoSlot& slot, int32_t number, double turn) {
    face.number = number;
    face.isPlaced = slot.edgeOnHull[number];
    for (int i = 0; i < 4; ++i) face.corners[i] = &slot.viewPoints[slot.sides[number].corners[i]];
    face.minX = face.maxX = face.corners[0]->x;
    face.minY = face.maxY = face.corners[0]->y;
    for (const ViewPoint* c : face.corners) {
        face.minX = std::min(face.minX, c->x), face.maxX = std::max(face.maxX, c->x);
        face.minY = std::min(face.minY, c->y), face.maxY = std::max(face.maxY, c->y);
    }
    face.normal = Cross(Difference(*face.corners[1], *face.corners[0]), Difference(*face.corners[2], *face.corners[0]));
    if (turn < 0) face.normal = {-face.normal.x, -face.normal.y, -face.normal.z};
    face.hasEdges = false;
}

// Once, when the face is first compared closely: in a frame only about one
// face in seven is, and the edges take most of a face's making.
void MakeEdges(Face& face, RoundedCorners& rounded) {
    if (face.hasEdges) return;
    for (int i = 0; i < 4; ++i) face.edges[i] = MakeEdge(*face.corners[i], *face.corners[(i + 1) % 4], rounded);
    face.hasEdges = true;
}

// Faces of one contour that share an edge are never compared.
bool AreNeighbours(const ShapeRecord& shape, int32_t c, int32_t a) {
    for (int i = 1; i <= shape.contourCount; ++i) {
        const ContourRange& contour = shape.contours[i];
        if (c < contour.first || c > contour.last) continue;
        if (c == contour.first) return a == contour.last || a == c + 1;
        if (c == contour.last) return a == contour.first || a == c - 1;
        return a == c - 1 || a == c + 1;
    }
    return false;
}

bool BoxesOverlap(const Face& a, const Face& c) {
    return a.minX < c.maxX && c.minX < a.maxX && a.minY < c.maxY && c.minY < a.maxY;
}

// True when edge `ea` of face a passes in front of edge `ec` of the candidate where they cross on screen.
bool CrossesInFront(const Edge& ec, const Edge& ea) {
    if (ec.MaxX() < ea.MinX() || ec.MinX() > ea.MaxX() || ec.MaxY() < ea.MinY() || ec.MinY() > ea.MaxY())
        return false;
    if (ec.isVertical && ea.isVertical) return false;
    double x, y;
    if (ec.isVertical) {
        x = ec.xp, y = ea.k * x + ea.b;
    } else if (ea.isVertical) {
        x = ea.xp, y = ec.k * x + ec.b;
    } else if (ec.k == ea.k) {
        x = 0.0, y = ec.b;
    } else {
        x = (ec.b - ea.b) / (ea.k - ec.k);
        y = ec.k * x + ec.b;
    }
    x = RoundSignificant(x, kPositionDigits);
    y = RoundSignificant(y, kPositionDigits);
    if (!ec.Holds(x, y) || !ea.Holds(x, y)) return false;
    return RoundSignificant(ec.DepthAt(x, y), kDepthDigits) > RoundSignificant(ea.DepthAt(x, y), kDepthDigits);
}

// True when face a lies in front of the candidate c where they overlap.
bool LiesInFront(const ShapeRecord& shape, Face& c, Face& a, RoundedCorners& rounded) {
    if (AreNeighbours(shape, c.number, a.number) || !BoxesOverlap(a, c)) return false;
    if (c.HasAllBehind(a) || a.HasAllInFront(c)) return false;
    MakeEdges(c, rounded), MakeEdges(a, rounded);
    for (const Edge& ec : c.edges)
        for (const Edge& ea : a.edges)
            if (CrossesInFront(ec, ea)) return true;
    // No crossing decides: a covers c when c lies wholly behind a within a's screen box.
    return a.HasAllBehind(c) && a.maxX >= c.maxX && a.maxY >= c.maxY && a.minX <= c.minX && a.minY <= c.minY;
}

// Places one more face per pass: the candidate that nothing unplaced lies in front of.
void OrderByOverlap(const ShapeRecord& shape, Face* faces, int count, RoundedCorners& rounded, int32_t* order,
                    int& placed) {
    // The pairs compared in this pass hold its number: no pass clears them.
    static_assert(kMaxPoints < 256, "a pass number per face fits a byte");
    uint8_t flagged[kMaxPoints][kMaxPoints] = {};
    // The faces not placed yet, in their order.
    int unplaced[kMaxPoints], left = 0;
    for (int v = 0; v < count; ++v)
        if (!faces[v].isPlaced) unplaced[left++] = v;
    for (uint8_t pass = 1; left > 0; ++pass) {
        int candidate = 0;  // of unplaced
        for (int k = 1; k < left; ++k) {
            if (k == candidate) continue;
            const int c = unplaced[candidate], v = unplaced[k];
            if (flagged[c][v] != pass && LiesInFront(shape, faces[c], faces[v], rounded)) {
                flagged[c][v] = flagged[v][c] = pass;
                candidate = k;
                k = -1;  // scan again from the start
            }
        }
        order[placed++] = faces[unplaced[candidate]].number;
        std::copy(unplaced + candidate + 1, unplaced + left, unplaced + candidate);
        --left;
    }
}

VisibleCaps FindVisibleCaps(const LogoSlot& slot) {
    const int32_t n = slot.shape.pointCount, a = slot.capPoint;
    const ViewPoint* v = slot.viewPoints;
    const double sigma = slot.secondTurnLeft ? -1.0 : 1.0;
    return {sigma * -Turn(v[a], v[a + 1], v[a + 2]) > 0, sigma * Turn(v[n + a], v[n + a + 1], v[n + a + 2]) > 0};
}

}  // namespace

SideFaceOrder OrderSideFaces(const LogoSlot& slot, int32_t (&order)[kMaxPoints]) {
    const ShapeRecord& shape = slot.shape;
    if (shape.pointCount < 1) return {0, {false, false}};

    // A wall turns toward the viewer when its quad runs clockwise on screen
    // for an outer contour, counter-clockwise for a hole.
    Face faces[kMaxPoints];
    int count = 0;
    for (int32_t m = 1; m <= shape.pointCount; ++m) {
        const SideQuad& side = slot.sides[m];
        const double turn = Turn(slot.viewPoints[side.corners[0]], slot.viewPoints[side.corners[1]],
                                 slot.viewPoints[side.corners[2]]);
        if (slot.isHoleSide[m] ? turn > 0 : turn < 0) MakeFace(faces[count++], slot, m, turn);
    }

    int placed = 0;
    for (int v = 0; v < count; ++v)
        if (faces[v].isPlaced) order[placed++] = faces[v].number;
    RoundedCorners rounded(slot);
    OrderByOverlap(shape, faces, count, rounded, order, placed);
    return {count, FindVisibleCaps(slot)};
}

SideFaceOrder DrawSideFaces(const LogoSlot& slot, const ScreenPoint* corners, Raster& raster,
                            int32_t (&painted)[kMaxPoints]) {
    int32_t order[kMaxPoints];
    const SideFaceOrder ordered = OrderSideFaces(slot, order);
    for (int i = 0; i < ordered.count; ++i) {
        const int32_t face = order[ordered.count - 1 - i];
        assert(face >= 1 && face <= slot.shape.pointCount);
        painted[i] = face;
        const int32_t* c = slot.sides[face].corners;
        const ScreenPoint* s = corners;
        const RasterPoint quad[5] = {{s[c[0]].x, s[c[0]].y}, {s[c[1]].x, s[c[1]].y}, {s[c[2]].x, s[c[2]].y},
                                     {s[c[3]].x, s[c[3]].y}, {s[c[0]].x, s[c[0]].y}};
        raster.FillPolygon(quad, 4, slot.sideShade, FillRule::kEvenOdd);
        const int outline = 5;
        raster.DrawPolylines(quad, &outline, 1);
    }
    return ordered;
}

#pragma once
// What the glyph fitter works on: contours of vertices, each vertex standing
// for a point of the outline it follows.

#include <cstddef>
#include <vector>

#include "glyphs/glyph_outline.h"

inline bool Same(Vec2 a, Vec2 b) { return a.x == b.x && a.y == b.y; }

// A fitted vertex: where it stands and the outline point it stands for. The
// outline between two vertices' anchors is the piece their segment replaces.
struct Vertex {
    int anchor;
    Vec2 at;
};

struct Contour {
    const Ring* outline;
    std::vector<Vertex> vertices;
    size_t size() const { return vertices.size(); }
    const Vertex& operator[](size_t i) const { return vertices[i % size()]; }  // i wraps
};

using Contours = std::vector<Contour>;

inline size_t Before(size_t i, size_t n) { return (i + n - 1) % n; }

inline int CountVertices(const Contours& contours) {
    int total = 0;
    for (const Contour& c : contours) total += int(c.size());
    return total;
}

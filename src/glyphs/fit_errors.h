#pragma once
// How far fitted contours stray from the outline they stand for.

#include "glyphs/fit_contours.h"

// How far the outline piece from anchor a to b strays from the segment p-q.
double PieceError(const Ring& outline, int a, int b, Vec2 p, Vec2 q);

// How far a vertex at p stands from the outline between anchors from and to.
double VertexError(const Ring& outline, int from, int to, Vec2 p);

// Every error term that depends on vertex i of contour c standing at p with anchor `anchor`.
double LocalError(const Contour& c, size_t i, Vec2 p, int anchor);

// What a vertex position costs: bad contacts first, then the worst of the
// errors around it, then their sum (which lets a move that does not change
// the worst still even out its neighbours).
struct Cost {
    int contacts;
    double worst, total;
    bool operator<(const Cost& o) const {
        if (contacts != o.contacts) return contacts < o.contacts;
        if (worst < o.worst - 1e-9) return true;
        return worst <= o.worst + 1e-9 && total < o.total - 1e-9;
    }
};

// The cost of vertex i of contour c standing at p with anchor `anchor`.
Cost CostAt(const Contours& all, size_t c, size_t i, Vec2 p, int anchor);

// The worst error term of all contours: the piece after `vertex` of
// `contour`, or that vertex itself.
struct WorstPlace {
    double error;
    size_t contour, vertex;
};
WorstPlace WorstTerm(const Contours& contours);

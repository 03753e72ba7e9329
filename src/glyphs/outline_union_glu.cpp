// The system's GLU tessellator in boundary-only mode does the union: glu32
// on Windows, Mesa's libGLU on Linux, so both builds merge alike.

#include "glyphs/outline_union.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif
#include <GL/glu.h>

#include <deque>
#include <memory>

#ifndef CALLBACK
#define CALLBACK
#endif

namespace {

// What the tessellator's callbacks build; vertices it invents at crossings
// live here until the tessellation ends.
struct UnionBuilder {
    std::vector<Ring> rings;
    std::deque<Vec2> invented;
    bool failed = false;
};

void CALLBACK OnBegin(GLenum, void* data) { static_cast<UnionBuilder*>(data)->rings.emplace_back(); }

void CALLBACK OnVertex(void* vertex, void* data) {
    static_cast<UnionBuilder*>(data)->rings.back().push_back(*static_cast<const Vec2*>(vertex));
}

void CALLBACK OnCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* data) {
    auto* builder = static_cast<UnionBuilder*>(data);
    builder->invented.push_back({coords[0], coords[1]});
    *out = &builder->invented.back();
}

void CALLBACK OnError(GLenum, void* data) { static_cast<UnionBuilder*>(data)->failed = true; }

using TessCallback = void(CALLBACK*)();

}  // namespace

std::vector<Ring> NonZeroUnion(const std::vector<Ring>& rings) {
    std::unique_ptr<GLUtesselator, void (*)(GLUtesselator*)> tess(gluNewTess(), gluDeleteTess);
    if (!tess) return rings;
    gluTessProperty(tess.get(), GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessProperty(tess.get(), GLU_TESS_BOUNDARY_ONLY, GL_TRUE);
    gluTessNormal(tess.get(), 0, 0, 1);
    gluTessCallback(tess.get(), GLU_TESS_BEGIN_DATA, reinterpret_cast<TessCallback>(OnBegin));
    gluTessCallback(tess.get(), GLU_TESS_VERTEX_DATA, reinterpret_cast<TessCallback>(OnVertex));
    gluTessCallback(tess.get(), GLU_TESS_COMBINE_DATA, reinterpret_cast<TessCallback>(OnCombine));
    gluTessCallback(tess.get(), GLU_TESS_ERROR_DATA, reinterpret_cast<TessCallback>(OnError));

    UnionBuilder builder;
    std::vector<GLdouble> coords;  // the tessellator reads them until the polygon ends
    size_t total = 0;
    for (const Ring& ring : rings) total += ring.size();
    coords.reserve(3 * total);

    gluTessBeginPolygon(tess.get(), &builder);
    for (const Ring& ring : rings) {
        gluTessBeginContour(tess.get());
        for (const Vec2& p : ring) {
            coords.insert(coords.end(), {p.x, p.y, 0});
            gluTessVertex(tess.get(), &coords[coords.size() - 3], const_cast<Vec2*>(&p));
        }
        gluTessEndContour(tess.get());
    }
    gluTessEndPolygon(tess.get());
    // A tessellator failure (out of memory) leaves the contours as they were.
    if (builder.failed) return rings;

    std::vector<Ring> result;
    for (Ring& ring : builder.rings)
        if (ring.size() >= 3) result.push_back(std::move(ring));
    return result;
}

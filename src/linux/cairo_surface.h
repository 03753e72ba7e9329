#pragma once
// Ownership of a cairo surface.

#include <cairo.h>

#include <memory>

struct CairoSurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;

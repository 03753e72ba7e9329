#pragma once
// A desktop picture of our own, for renders without a screen to take one from.

#include <cairo.h>

#include <cstdint>

// A width x height image: a soft diagonal gradient under a faint grid, so
// that a logo drawn over "the desktop" is easy to tell from one over black.
// The caller owns the surface.
cairo_surface_t* CreateDesktopPicture(int32_t width, int32_t height);

#pragma once
// Drawing calls through the raster interface alone, the same on every
// platform: read from a text script, or made up from a seed. Each case paints
// one frame of the case size onto a grey window of that size at (0, 0), so
// that two rasters can be compared pixel for pixel.
//
// Script lines (one call each; coordinates are whole pixels of the frame):
//   case                                  a new case: BeginFrame, the grey window copied in
//   case black                            a new case started as the frame cycle starts a
//                                         frame: BeginFrame and the frame filled black
//   black                                 the frame filled black as the frame cycle does it
//   poly alt|wind R G B  x,y ...          FillPolygon
//   region R G B  x,y ... ; x,y ... ; ... PaintRegion, one ring between semicolons
//   lines  x,y ... ; x,y ...              DrawPolylines, one polyline between semicolons

#include <cstdint>
#include <functional>
#include <istream>
#include <string>

#include "render/raster.h"

inline constexpr Rgb kCaseWindowGrey{90, 90, 90};

// Draws every case of the script, calling `caseDone(index)` after each case
// is presented. Returns the number of cases, or -1 with `error` set.
int DrawScript(std::istream& script, Raster& raster, int32_t width, int32_t height,
               const std::function<void(int)>& caseDone, std::string& error);

// Draws case `index` of the cases made from `seed`, presented at (0, 0): a
// background, then random polygons of both fill rules, regions of up to five
// rings and polylines, some reaching past the frame.
void DrawSeededCase(uint32_t seed, int index, Raster& raster, int32_t width, int32_t height);

// Writes seeded case `index` as a script, so that a case that differs can be
// looked at and drawn again alone.
void WriteSeededCase(uint32_t seed, int index, int32_t width, int32_t height, std::ostream& out);

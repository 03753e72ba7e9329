#pragma once
// The command line shared by the two programs that draw raster cases, one
// through GDI under Wine, one through our own raster:
//   PROGRAM --size WxH (--script FILE | --seed S --cases N) (--out | --expect) FILE.ppm
// The cases are written one below the other into one binary PPM picture.
// With --expect FILE.ppm instead of --out, the cases are compared with
// those of that picture, and the exit status is 1 when any pixel differs.
// With --print-case K (and --seed, --size) seeded case K is written as a
// script to standard output instead.

#include <cstdint>
#include <functional>
#include <string>

#include "render/raster.h"

// Reads the pixel at (x, y) of the window of a finished case, as 0xRRGGBB.
using ReadWindowPixel = std::function<uint32_t(int32_t x, int32_t y)>;

// Parses the arguments, draws every case through `raster` and writes the
// picture; `clearWindow` paints the window grey before each case. Returns
// the exit code, after saying what went wrong on standard error.
int RunRasterCases(int argc, char** argv, const std::function<Raster&(int32_t width, int32_t height)>& makeRaster,
                   const std::function<void()>& clearWindow, const ReadWindowPixel& readPixel);

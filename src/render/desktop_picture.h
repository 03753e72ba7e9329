#pragma once
// A desktop picture of our own, for frames drawn without a screen to take
// one from, the same on every platform.

#include "render/pixel_image.h"

// Paints `picture` with a soft diagonal gradient under a faint grid, so that
// a logo drawn over "the desktop" is easy to tell from one over black.
void PaintDesktopPicture(const PixelImage& picture);

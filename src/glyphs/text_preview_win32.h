#pragma once
// The text window's preview: the letters as the saver draws them, with our
// own scene and the GDI raster, once as a still first frame and once turning.

#include <windows.h>

#include <memory>
#include <string>

#include "host/area_logo.h"

struct TextPreview {
    std::unique_ptr<AreaLogo> still;    // drawn afresh from its first frame at each paint
    std::unique_ptr<AreaLogo> turning;  // one frame per timer tick
};

// Builds both logos from ini text (the file with the planned records), each
// the size of its control, on a black background whatever the file says:
// the preview has no desktop behind it. Empty text clears the preview.
void ShowPreview(TextPreview& preview, const std::string& iniText, const ProfileNames& names, HWND still,
                 HWND turning);

// The still control's paint: black, then the first frame.
void PaintStill(const TextPreview& preview, HDC dc, const RECT& area);

// The turning control's next frame, drawn into it at once.
void TurnPreview(TextPreview& preview, HWND turning);

// The milliseconds between turning frames: the saver's own TIMER.
UINT PreviewPeriod(const TextPreview& preview);

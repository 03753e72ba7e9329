#pragma once
// The window's picture in our memory, which the raster draws frames into and
// reads after-images from, and which is shown in the window rectangle by
// rectangle: through the shared-memory extension where the X server has it
// for this display, by an ordinary image transfer otherwise.

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <vector>

#include "render/pixel_image.h"

class WindowPicture {
public:
    // A picture of width x height for `window` of `visual` and `depth`,
    // starting as what the window shows now (black where that cannot be read).
    WindowPicture(Display* display, Window window, Visual* visual, int depth, int32_t width, int32_t height);
    ~WindowPicture();
    WindowPicture(const WindowPicture&) = delete;
    WindowPicture& operator=(const WindowPicture&) = delete;

    PixelImage Pixels() const { return pixels_; }
    bool UsesSharedMemory() const { return shared_; }

    // Shows the rectangle of the picture at the same place in the window;
    // the server has read it when this returns.
    void Show(int32_t x, int32_t y, int32_t width, int32_t height);
    void ShowAll() { Show(0, 0, pixels_.width, pixels_.height); }

private:
    bool CreateSharedImage(Visual* visual, int depth);
    void CreatePlainImage(Visual* visual, int depth);
    bool DrawsStraightIntoImage() const;
    void ReadWindow();

    Display* display_;
    Window window_;
    GC gc_;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{};
    bool shared_ = false;
    // The pixels as the raster sees them: the image's own memory when its
    // format is 0x00RRGGBB in 32 bits, else a copy converted on showing.
    std::vector<uint32_t> converted_;
    PixelImage pixels_;
};

// The screen's top-left width x height pixels now, as 0x00RRGGBB; false when
// the screen cannot be read.
bool ReadScreen(Display* display, int32_t width, int32_t height, std::vector<uint32_t>& pixels);

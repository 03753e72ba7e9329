#include "linux/window_picture_x11.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace {

// A refusal of the shared segment (a server on another machine) arrives as
// an error event while attaching; nothing else runs meanwhile.
bool gAttachRefused = false;

int NoteAttachRefused(Display*, XErrorEvent*) {
    gAttachRefused = true;
    return 0;
}

// One channel of a 0x00RRGGBB pixel placed where `mask` keeps it in the visual's pixel.
unsigned long Channel(uint32_t value8, unsigned long mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask), bits = std::popcount(mask >> shift);
    const unsigned long value = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
    return value << shift;
}

uint32_t Channel8(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask), bits = std::popcount(mask >> shift);
    const unsigned long value = (pixel & mask) >> shift;
    return uint32_t(bits >= 8 ? value >> (bits - 8) : value * 255 / ((1ul << bits) - 1));
}

// True when the image keeps pixels as 0x00RRGGBB words in this machine's byte order.
bool IsPlainWords(const XImage* image) {
    const int native = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    return image->bits_per_pixel == 32 && image->byte_order == native && image->red_mask == 0xFF0000 &&
           image->green_mask == 0xFF00 && image->blue_mask == 0xFF && image->bytes_per_line % 4 == 0;
}

// Copies the image into rows of 0x00RRGGBB pixels.
void ReadImage(XImage* image, const PixelImage& into) {
    const int32_t width = std::min(into.width, int32_t(image->width));
    const int32_t height = std::min(into.height, int32_t(image->height));
    const bool plain = IsPlainWords(image);
    for (int32_t y = 0; y < height; ++y) {
        uint32_t* row = into.Row(y);
        if (plain) {
            const auto* from = reinterpret_cast<const uint32_t*>(image->data + size_t(y) * image->bytes_per_line);
            for (int32_t x = 0; x < width; ++x) row[x] = from[x] & 0xFFFFFF;
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            row[x] = Channel8(pixel, image->red_mask) << 16 | Channel8(pixel, image->green_mask) << 8 |
                     Channel8(pixel, image->blue_mask);
        }
    }
}

}  // namespace

WindowPicture::WindowPicture(Display* display, Window window, Visual* visual, int depth, int32_t width,
                             int32_t height)
    : display_(display), window_(window), gc_(XCreateGC(display, window, 0, nullptr)) {
    pixels_.width = width, pixels_.height = height;
    if (!CreateSharedImage(visual, depth)) CreatePlainImage(visual, depth);
    if (image_ && IsPlainWords(image_)) {
        pixels_.pixels = reinterpret_cast<uint32_t*>(image_->data);
        pixels_.stride = image_->bytes_per_line / 4;
    } else {
        converted_.assign(size_t(width) * height, 0);
        pixels_.pixels = converted_.data();
        pixels_.stride = width;
    }
    ReadWindow();
}

WindowPicture::~WindowPicture() {
    if (shared_) {
        XShmDetach(display_, &segment_);
        XSync(display_, False);
        shmdt(segment_.shmaddr);
        image_->data = nullptr;
    }
    if (image_) XDestroyImage(image_);
    XFreeGC(display_, gc_);
}

bool WindowPicture::CreateSharedImage(Visual* visual, int depth) {
    if (!XShmQueryExtension(display_)) return false;
    image_ = XShmCreateImage(display_, visual, unsigned(depth), ZPixmap, nullptr, &segment_, unsigned(pixels_.width),
                             unsigned(pixels_.height));
    if (!image_) return false;
    segment_.shmid = shmget(IPC_PRIVATE, size_t(image_->bytes_per_line) * image_->height, IPC_CREAT | 0600);
    segment_.shmaddr = segment_.shmid < 0 ? reinterpret_cast<char*>(-1) : static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
    if (segment_.shmaddr == reinterpret_cast<char*>(-1)) {
        if (segment_.shmid >= 0) shmctl(segment_.shmid, IPC_RMID, nullptr);
        XDestroyImage(image_);
        image_ = nullptr;
        return false;
    }
    image_->data = segment_.shmaddr;
    segment_.readOnly = False;
    gAttachRefused = false;
    XErrorHandler previous = XSetErrorHandler(NoteAttachRefused);
    const bool attached = XShmAttach(display_, &segment_);
    XSync(display_, False);
    XSetErrorHandler(previous);
    // Marked for removal now, the segment goes when both sides have let go, however the process ends.
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    if (!attached || gAttachRefused) {
        shmdt(segment_.shmaddr);
        image_->data = nullptr;
        XDestroyImage(image_);
        image_ = nullptr;
        return false;
    }
    shared_ = true;
    return true;
}

void WindowPicture::CreatePlainImage(Visual* visual, int depth) {
    image_ = XCreateImage(display_, visual, unsigned(depth), ZPixmap, 0, nullptr, unsigned(pixels_.width),
                          unsigned(pixels_.height), 32, 0);
    if (!image_) return;
    // XDestroyImage frees the data with free().
    image_->data = static_cast<char*>(std::calloc(size_t(image_->bytes_per_line), size_t(image_->height)));
    if (!image_->data) {
        XDestroyImage(image_);
        image_ = nullptr;
    }
}

void WindowPicture::ReadWindow() {
    for (int32_t y = 0; y < pixels_.height; ++y) std::fill_n(pixels_.Row(y), pixels_.width, 0u);
    // A window that is not shown yet cannot be read: it stays black.
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window_, &attributes) || attributes.map_state != IsViewable) return;
    const unsigned width = unsigned(std::min<int32_t>(pixels_.width, attributes.width));
    const unsigned height = unsigned(std::min<int32_t>(pixels_.height, attributes.height));
    if (width == 0 || height == 0) return;
    XImage* shown = XGetImage(display_, window_, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!shown) return;
    ReadImage(shown, pixels_);
    XDestroyImage(shown);
}

void WindowPicture::Show(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!image_ || width <= 0 || height <= 0) return;
    if (!converted_.empty()) {
        for (int32_t row = y; row < y + height; ++row)
            for (int32_t column = x; column < x + width; ++column) {
                const uint32_t pixel = pixels_.Row(row)[column];
                XPutPixel(image_, column, row,
                          Channel(pixel >> 16 & 0xFF, image_->red_mask) | Channel(pixel >> 8 & 0xFF, image_->green_mask) |
                              Channel(pixel & 0xFF, image_->blue_mask));
            }
    }
    if (shared_) {
        XShmPutImage(display_, window_, gc_, image_, x, y, x, y, unsigned(width), unsigned(height), False);
        // The next frame writes the same memory: the server must have read it first.
        XSync(display_, False);
    } else {
        XPutImage(display_, window_, gc_, image_, x, y, x, y, unsigned(width), unsigned(height));
        XFlush(display_);
    }
}

bool ReadScreen(Display* display, int32_t width, int32_t height, std::vector<uint32_t>& pixels) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, root, &attributes)) return false;
    pixels.assign(size_t(width) * height, 0);
    const unsigned readWidth = unsigned(std::min<int32_t>(width, attributes.width));
    const unsigned readHeight = unsigned(std::min<int32_t>(height, attributes.height));
    if (readWidth == 0 || readHeight == 0) return false;
    XImage* screen = XGetImage(display, root, 0, 0, readWidth, readHeight, AllPlanes, ZPixmap);
    if (!screen) return false;
    ReadImage(screen, {pixels.data(), width, height, width});
    XDestroyImage(screen);
    return true;
}

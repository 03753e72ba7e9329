#pragma once
// A wl_buffer over memory shared with the compositor: what the saver shows
// on a surface, or what a screen copy is written into.

#include <wayland-client.h>

#include <cstdint>
#include <functional>

#include "render/pixel_image.h"

class ShmBuffer {
public:
    // A width x height buffer of rows `strideBytes` apart in `format` (a
    // wl_shm format of 32-bit pixels); IsValid() is false when the memory
    // or the buffer cannot be had. `released` is called on each
    // wl_buffer.release.
    ShmBuffer(wl_shm* shm, int32_t width, int32_t height, int32_t strideBytes, uint32_t format,
              std::function<void()> released = {});
    ~ShmBuffer();
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    bool IsValid() const { return buffer_ != nullptr; }
    wl_buffer* Buffer() const { return buffer_; }
    // The pixels as 32-bit words of the buffer's format (0x00RRGGBB for XRGB8888).
    PixelImage Pixels() const { return pixels_; }

private:
    static void OnRelease(void* data, wl_buffer*);

    wl_buffer* buffer_ = nullptr;
    void* memory_ = nullptr;
    size_t size_ = 0;
    PixelImage pixels_;
    std::function<void()> released_;
};

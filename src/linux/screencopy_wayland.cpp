#include "linux/screencopy_wayland.h"

#include <poll.h>
#include <time.h>

#include <cerrno>
#include <memory>

#include "linux/shm_buffer_wayland.h"

namespace {

constexpr int kWaitMilliseconds = 2000;

struct Copy {
    wl_shm* shm = nullptr;
    zwlr_screencopy_frame_v1* frame = nullptr;
    std::unique_ptr<ShmBuffer> buffer;
    uint32_t format = 0;
    bool isUpsideDown = false;
    bool isDone = false, isReady = false;
};

// 32-bit little-endian words: the channels of ARGB and XRGB lie where our
// pixels keep them; ABGR and XBGR have red and blue swapped.
bool IsReadable(uint32_t format) {
    return format == WL_SHM_FORMAT_XRGB8888 || format == WL_SHM_FORMAT_ARGB8888 ||
           format == WL_SHM_FORMAT_XBGR8888 || format == WL_SHM_FORMAT_ABGR8888;
}

void OnBuffer(void* data, zwlr_screencopy_frame_v1* frame, uint32_t format, uint32_t width, uint32_t height,
              uint32_t stride) {
    auto* copy = static_cast<Copy*>(data);
    // Of several formats offered (the protocol's later versions), the first we can read.
    if (copy->buffer || !IsReadable(format) || width > 16384 || height > 16384 || stride > 16384 * 4) return;
    copy->buffer = std::make_unique<ShmBuffer>(copy->shm, int32_t(width), int32_t(height), int32_t(stride), format);
    if (!copy->buffer->IsValid()) {
        copy->buffer.reset();
        return;
    }
    copy->format = format;
    zwlr_screencopy_frame_v1_copy(frame, copy->buffer->Buffer());
}

void OnFlags(void* data, zwlr_screencopy_frame_v1*, uint32_t flags) {
    static_cast<Copy*>(data)->isUpsideDown = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
}

void OnReady(void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {
    static_cast<Copy*>(data)->isDone = static_cast<Copy*>(data)->isReady = true;
}

void OnFailed(void* data, zwlr_screencopy_frame_v1*) { static_cast<Copy*>(data)->isDone = true; }

const zwlr_screencopy_frame_v1_listener kFrameListener = {
    .buffer = OnBuffer,
    .flags = OnFlags,
    .ready = OnReady,
    .failed = OnFailed,
    .damage = [](void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t, uint32_t) {},
    .linux_dmabuf = [](void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {},
    .buffer_done = [](void*, zwlr_screencopy_frame_v1*) {},
};

int64_t NowMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

// Dispatches events until the copy is done; false when the connection
// fails, the time is up or a signal comes.
bool AwaitCopy(wl_display* display, const Copy& copy) {
    const int64_t until = NowMilliseconds() + kWaitMilliseconds;
    while (!copy.isDone) {
        if (wl_display_dispatch_pending(display) < 0) return false;
        if (wl_display_flush(display) < 0 && errno != EAGAIN) return false;
        if (copy.isDone) break;
        const int64_t left = until - NowMilliseconds();
        if (left <= 0) return false;
        pollfd wait{wl_display_get_fd(display), POLLIN, 0};
        if (wl_display_prepare_read(display) != 0) continue;
        const int ready = poll(&wait, 1, int(left));
        if (ready > 0) {
            if (wl_display_read_events(display) < 0) return false;
            continue;
        }
        wl_display_cancel_read(display);
        if (ready < 0 && errno == EINTR) return false;  // a stop signal does not wait for the picture
    }
    return true;
}

}  // namespace

OutputPicture CopyOutput(wl_display* display, wl_shm* shm, zwlr_screencopy_manager_v1* manager, wl_output* output) {
    Copy copy;
    copy.shm = shm;
    copy.frame = zwlr_screencopy_manager_v1_capture_output(manager, 0, output);
    zwlr_screencopy_frame_v1_add_listener(copy.frame, &kFrameListener, &copy);
    const bool hasEnded = AwaitCopy(display, copy);
    zwlr_screencopy_frame_v1_destroy(copy.frame);
    OutputPicture picture;
    if (!hasEnded || !copy.isReady || !copy.buffer) return picture;

    const PixelImage from = copy.buffer->Pixels();
    const bool swapsRedAndBlue = copy.format == WL_SHM_FORMAT_XBGR8888 || copy.format == WL_SHM_FORMAT_ABGR8888;
    picture.width = from.width, picture.height = from.height;
    picture.pixels.resize(size_t(from.width) * from.height);
    for (int32_t y = 0; y < from.height; ++y) {
        const uint32_t* row = from.Row(copy.isUpsideDown ? from.height - 1 - y : y);
        uint32_t* to = picture.pixels.data() + size_t(y) * from.width;
        for (int32_t x = 0; x < from.width; ++x) {
            const uint32_t p = row[x];
            to[x] = swapsRedAndBlue ? (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF) : p & 0xFFFFFF;
        }
    }
    return picture;
}

#include "linux/shm_buffer_wayland.h"

#include <sys/mman.h>
#include <unistd.h>

ShmBuffer::ShmBuffer(wl_shm* shm, int32_t width, int32_t height, int32_t strideBytes, uint32_t format,
                     std::function<void()> released)
    : released_(std::move(released)) {
    if (width <= 0 || height <= 0 || strideBytes < width * 4 || strideBytes % 4 != 0) return;
    size_ = size_t(strideBytes) * size_t(height);
    if (size_ > size_t(INT32_MAX)) return;  // a pool's size is a 32-bit number
    const int fd = memfd_create("korunex", MFD_CLOEXEC);
    if (fd < 0) return;
    if (ftruncate(fd, off_t(size_)) == 0) {
        memory_ = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (memory_ == MAP_FAILED) memory_ = nullptr;
    }
    if (memory_) {
        wl_shm_pool* pool = wl_shm_create_pool(shm, fd, int32_t(size_));
        buffer_ = wl_shm_pool_create_buffer(pool, 0, width, height, strideBytes, format);
        wl_shm_pool_destroy(pool);  // the buffer keeps the memory mapped on the compositor's side
        static const wl_buffer_listener listener = {.release = &ShmBuffer::OnRelease};
        wl_buffer_add_listener(buffer_, &listener, this);
        pixels_ = {static_cast<uint32_t*>(memory_), width, height, strideBytes / 4};
    }
    close(fd);
}

ShmBuffer::~ShmBuffer() {
    if (buffer_) wl_buffer_destroy(buffer_);
    if (memory_) munmap(memory_, size_);
}

void ShmBuffer::OnRelease(void* data, wl_buffer*) {
    auto* self = static_cast<ShmBuffer*>(data);
    if (self->released_) self->released_();
}

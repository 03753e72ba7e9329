#include "linux/desktop_picture.h"

#include "render/desktop_picture.h"

cairo_surface_t* CreateDesktopPicture(int32_t width, int32_t height) {
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_surface_flush(picture);
    PaintDesktopPicture({reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(picture)), width, height,
                         cairo_image_surface_get_stride(picture) / 4});
    cairo_surface_mark_dirty(picture);
    return picture;
}

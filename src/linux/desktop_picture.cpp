#include "linux/desktop_picture.h"

cairo_surface_t* CreateDesktopPicture(int32_t width, int32_t height) {
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(picture);

    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, width, height);
    cairo_pattern_add_color_stop_rgb(gradient, 0.0, 0.16, 0.30, 0.45);
    cairo_pattern_add_color_stop_rgb(gradient, 1.0, 0.55, 0.70, 0.62);
    cairo_set_source(cr, gradient);
    cairo_paint(cr);
    cairo_pattern_destroy(gradient);

    cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
    cairo_set_line_width(cr, 1.0);
    for (int32_t x = 40; x < width; x += 80) {
        cairo_move_to(cr, x + 0.5, 0);
        cairo_line_to(cr, x + 0.5, height);
    }
    for (int32_t y = 40; y < height; y += 80) {
        cairo_move_to(cr, 0, y + 0.5);
        cairo_line_to(cr, width, y + 0.5);
    }
    cairo_stroke(cr);
    cairo_destroy(cr);
    return picture;
}

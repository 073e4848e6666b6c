#include "SoftShadow.h"

#include "ArtScale.h"

#include <vector>

namespace {

void BoxPass(std::vector<int>& line, int radius)
{
    const int n = static_cast<int>(line.size());
    std::vector<int> out(line.size());
    int sum = 0;
    for (int i = -radius; i <= radius; ++i)
        sum += (i >= 0 && i < n) ? line[i] : 0;
    const int span = 2 * radius + 1;
    for (int i = 0; i < n; ++i) {
        out[i] = (sum + span / 2) / span;
        const int add = i + radius + 1;
        const int sub = i - radius;
        sum += (add < n) ? line[add] : 0;
        sum -= (sub >= 0) ? line[sub] : 0;
    }
    line.swap(out);
}

}   // namespace

void SoftShadow::BlurAlpha(cairo_surface_t* a8, int radius)
{
    if (radius <= 0)
        return;
    cairo_surface_flush(a8);
    const int w = cairo_image_surface_get_width(a8);
    const int h = cairo_image_surface_get_height(a8);
    const int stride = cairo_image_surface_get_stride(a8);
    unsigned char* d = cairo_image_surface_get_data(a8);
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<int> line(w);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                line[x] = d[y * stride + x];
            BoxPass(line, radius);
            for (int x = 0; x < w; ++x)
                d[y * stride + x] = static_cast<unsigned char>(line[x]);
        }
        std::vector<int> col(h);
        for (int x = 0; x < w; ++x) {
            for (int y = 0; y < h; ++y)
                col[y] = d[y * stride + x];
            BoxPass(col, radius);
            for (int y = 0; y < h; ++y)
                d[y * stride + x] = static_cast<unsigned char>(col[y]);
        }
    }
    cairo_surface_mark_dirty(a8);
}

void SoftShadow::Cast(cairo_t* cr, int w, int h, Tracer trace, const void* user, double dx, double dy, int radius,
                      double alpha)
{
    cairo_surface_t* mask = ArtScale::CreateSurface(CAIRO_FORMAT_A8, w, h);
    cairo_t* m = cairo_create(mask);
    cairo_translate(m, dx, dy);
    trace(m, user);
    cairo_set_source_rgba(m, 0, 0, 0, 1);
    cairo_fill(m);
    cairo_destroy(m);
    // The blur is in pixels: the same softness in panel units at every density.
    BlurAlpha(mask, radius * ArtScale::Factor());

    cairo_save(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, alpha);
    cairo_mask_surface(cr, mask, 0, 0);
    cairo_restore(cr);
    cairo_surface_destroy(mask);
}

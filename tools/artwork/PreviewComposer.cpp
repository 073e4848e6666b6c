#include "PreviewComposer.h"

#include <cairo.h>

#include <cstdio>

#include "PanelLayout.h"
#include "PngWriter.h"

namespace {

// The frame a control with `frames` frames shows for a value.
int FrameFor(int frames, double v)
{
    if (frames <= 1)
        return 1;
    int i = static_cast<int>((frames - 1) * v + 0.5) + 1;
    return i < 1 ? 1 : (i > frames ? frames : i);
}

}   // namespace

bool PreviewComposer::Compose(const std::string& imageDir, double normalised, const std::string& outPath)
{
    cairo_surface_t* out =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, PanelLayout::kPanelWidth, PanelLayout::kPanelHeight);
    cairo_t* cr = cairo_create(out);
    bool ok = true;
    for (int s = 0; s < PanelLayout::kStripCount && ok; ++s) {
        const StripPlacement& placement = PanelLayout::Placement(static_cast<PanelLayout::Strip>(s));
        const std::string path = imageDir + "/" + placement.file;
        cairo_surface_t* img = cairo_image_surface_create_from_png(path.c_str());
        if (cairo_surface_status(img) != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            ok = false;
        } else {
            double v = normalised;
            if (s == PanelLayout::kBY || s == PanelLayout::kSC)
                v = (s == PanelLayout::kBY) ? 1.0 : (normalised >= 0.5 ? 1.0 : 0.0);
            const int frame = FrameFor(placement.frames, v);
            cairo_save(cr);
            cairo_rectangle(cr, placement.x, placement.y, placement.width, placement.frameHeight);
            cairo_clip(cr);
            cairo_set_source_surface(cr, img, placement.x, placement.y - (frame - 1.0) * placement.frameHeight);
            cairo_set_operator(cr, s == PanelLayout::kBG ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER);
            cairo_paint(cr);
            cairo_restore(cr);
        }
        cairo_surface_destroy(img);
    }
    cairo_destroy(cr);
    if (ok)
        ok = PngWriter::Write(out, outPath);
    cairo_surface_destroy(out);
    return ok;
}

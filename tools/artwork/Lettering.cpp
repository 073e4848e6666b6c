#include "Lettering.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

// Splits UTF-8 text into one string per character.
std::vector<std::string> Characters(const char* utf8)
{
    std::vector<std::string> out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p != 0) {
        int n = 1;
        if ((*p & 0xe0) == 0xc0)
            n = 2;
        else if ((*p & 0xf0) == 0xe0)
            n = 3;
        else if ((*p & 0xf8) == 0xf0)
            n = 4;
        std::string c;
        for (int i = 0; i < n && p[i] != 0; ++i)
            c.push_back(static_cast<char>(p[i]));
        p += c.size();
        out.push_back(c);
    }
    return out;
}

double Advance(cairo_t* cr, const std::string& c)
{
    cairo_text_extents_t e;
    cairo_text_extents(cr, c.c_str(), &e);
    return e.x_advance;
}

}   // namespace

void Lettering::Select(cairo_t* cr, const TextLook& look) const
{
    cairo_set_font_face(cr, fonts_.Get(look.face));
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, look.size * look.condense, look.size);
    cairo_set_font_matrix(cr, &m);
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, o);
    cairo_font_options_destroy(o);
}

double Lettering::Width(cairo_t* cr, const char* utf8, const TextLook& look) const
{
    cairo_save(cr);
    Select(cr, look);
    double w = 0.0;
    const std::vector<std::string> chars = Characters(utf8);
    for (size_t i = 0; i < chars.size(); ++i)
        w += Advance(cr, chars[i]) + (i + 1 < chars.size() ? look.tracking : 0.0);
    cairo_restore(cr);
    return w;
}

void Lettering::Run(cairo_t* cr, double x, double baseline, const char* utf8, const TextLook& look) const
{
    Select(cr, look);
    for (const std::string& c : Characters(utf8)) {
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, c.c_str());
        x += Advance(cr, c) + look.tracking;
    }
}

void Lettering::Draw(cairo_t* cr, double x, double baseline, const char* utf8, const TextLook& look, Align align,
                     const Rgb& ink, double alpha) const
{
    const double w = Width(cr, utf8, look);
    if (align == kCenter)
        x -= w * 0.5;
    else if (align == kRight)
        x -= w;
    cairo_save(cr);
    SetSource(cr, ink, alpha);
    Run(cr, x, baseline, utf8, look);
    cairo_restore(cr);
}

void Lettering::Engrave(cairo_t* cr, double x, double baseline, const char* utf8, const TextLook& look, Align align,
                        const Rgb& ink, double highlight) const
{
    if (highlight > 0.0)
        Draw(cr, x, baseline + 0.8, utf8, look, align, Rgb{1.0, 0.98, 0.92}, highlight);
    Draw(cr, x, baseline, utf8, look, align, ink);
}

void Lettering::DrawOnArc(cairo_t* cr, double cx, double cy, double radius, double angleDeg, const char* utf8,
                          const TextLook& look, const Rgb& ink, double highlight) const
{
    const double total = Width(cr, utf8, look);
    const std::vector<std::string> chars = Characters(utf8);
    for (int pass = highlight > 0.0 ? 0 : 1; pass < 2; ++pass) {
        double theta = angleDeg * kPi / 180.0 - total * 0.5 / radius;
        for (const std::string& c : chars) {
            cairo_save(cr);
            Select(cr, look);
            const double a = Advance(cr, c);
            const double mid = theta + a * 0.5 / radius;
            cairo_translate(cr, cx, cy);
            cairo_rotate(cr, mid);
            cairo_translate(cr, 0.0, -radius);
            if (pass == 0)
                cairo_set_source_rgba(cr, 1.0, 0.98, 0.92, highlight);
            else
                SetSource(cr, ink);
            cairo_move_to(cr, -a * 0.5, pass == 0 ? 0.8 : 0.0);
            cairo_show_text(cr, c.c_str());
            cairo_restore(cr);
            theta += (a + look.tracking) / radius;
        }
    }
}

void Lettering::DrawUnderArc(cairo_t* cr, double cx, double cy, double radius, double angleDeg, const char* utf8,
                             const TextLook& look, const Rgb& ink, double highlight) const
{
    const double total = Width(cr, utf8, look);
    const std::vector<std::string> chars = Characters(utf8);
    cairo_save(cr);
    Select(cr, look);
    cairo_text_extents_t cap;
    cairo_text_extents(cr, "H", &cap);
    cairo_restore(cr);
    const double drop = -cap.y_bearing;
    for (int pass = highlight > 0.0 ? 0 : 1; pass < 2; ++pass) {
        double theta = angleDeg * kPi / 180.0 + total * 0.5 / radius;
        for (const std::string& c : chars) {
            cairo_save(cr);
            Select(cr, look);
            const double a = Advance(cr, c);
            const double mid = theta - a * 0.5 / radius;
            cairo_translate(cr, cx, cy);
            cairo_rotate(cr, mid - kPi);
            cairo_translate(cr, 0.0, radius + drop);
            if (pass == 0)
                cairo_set_source_rgba(cr, 1.0, 0.98, 0.92, highlight);
            else
                SetSource(cr, ink);
            cairo_move_to(cr, -a * 0.5, pass == 0 ? 0.8 : 0.0);
            cairo_show_text(cr, c.c_str());
            cairo_restore(cr);
            theta -= (a + look.tracking) / radius;
        }
    }
}

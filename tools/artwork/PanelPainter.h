#pragma once

#include "Lettering.h"
#include "PanelLayout.h"
#include "Strip.h"

// The front panel: cream enamel on a rack plate, the nameplate, and every
// scale and legend around the controls' places.
class PanelPainter {
public:
    explicit PanelPainter(const Lettering& lettering) : lettering_(lettering) {}

    void Paint(const Strip& strip) const;

private:
    void PaintEnamel(cairo_t* cr, cairo_surface_t* surface, int w, int h) const;
    void PaintRackEars(cairo_t* cr, int w, int h) const;
    void PaintNameplate(cairo_t* cr) const;
    void PaintDividers(cairo_t* cr) const;
    void PaintMeterRecess(cairo_t* cr) const;

    void PaintInput(cairo_t* cr) const;
    void PaintRelease(cairo_t* cr) const;
    void PaintDcThreshold(cairo_t* cr) const;
    void PaintAcThreshold(cairo_t* cr) const;
    void PaintOutput(cairo_t* cr) const;
    void PaintMix(cairo_t* cr) const;
    void PaintHighPass(cairo_t* cr) const;
    void PaintSwitches(cairo_t* cr) const;

    // Radial ticks at normalised positions of the knob sweep.
    void Ticks(cairo_t* cr, double cx, double cy, double r0, double r1, int count, double width) const;
    void Tick(cairo_t* cr, double cx, double cy, double r0, double r1, double angleDeg, double width) const;
    // A label centred on the circle of radius r at angleDeg.
    void Label(cairo_t* cr, double cx, double cy, double r, double angleDeg, const char* text,
               const TextLook& look) const;
    void Caption(cairo_t* cr, double cx, double baseline, const char* text) const;
    void SeatRing(cairo_t* cr, double cx, double cy, double r) const;

    const Lettering& lettering_;
};

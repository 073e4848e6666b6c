#pragma once

// The rectangle a plot draws its data in, in pixels (y down), and the value
// ranges its two axes show (y up).
class PlotFrame {
public:
    PlotFrame(double left, double top, double right, double bottom, double xMin, double xMax, double yMin, double yMax);

    double left() const { return left_; }
    double top() const { return top_; }
    double right() const { return right_; }
    double bottom() const { return bottom_; }
    double xMin() const { return xMin_; }
    double xMax() const { return xMax_; }
    double yMin() const { return yMin_; }
    double yMax() const { return yMax_; }

    // Pixel coordinates of values; values outside the ranges map outside the rectangle.
    double x(double value) const;
    double y(double value) const;
    // y clamped into the rectangle, so that -infinity lies on its bottom edge.
    double yInside(double value) const;
    // The values at pixel coordinates.
    double xValue(double pixel) const;
    double yValue(double pixel) const;

private:
    double left_, top_, right_, bottom_;
    double xMin_, xMax_, yMin_, yMax_;
};

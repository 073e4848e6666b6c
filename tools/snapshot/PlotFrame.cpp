#include "PlotFrame.h"

#include <cmath>

PlotFrame::PlotFrame(double left, double top, double right, double bottom, double xMin, double xMax, double yMin,
                     double yMax)
    : left_(left),
      top_(top),
      right_(right),
      bottom_(bottom),
      xMin_(xMin),
      xMax_(xMax),
      yMin_(yMin),
      yMax_(yMax)
{
}

double PlotFrame::x(double value) const
{
    return left_ + (value - xMin_) / (xMax_ - xMin_) * (right_ - left_);
}

double PlotFrame::y(double value) const
{
    return bottom_ - (value - yMin_) / (yMax_ - yMin_) * (bottom_ - top_);
}

double PlotFrame::yInside(double value) const
{
    if (std::isnan(value) || value <= yMin_)
        return bottom_;
    if (value >= yMax_)
        return top_;
    return y(value);
}

double PlotFrame::xValue(double pixel) const
{
    return xMin_ + (pixel - left_) / (right_ - left_) * (xMax_ - xMin_);
}

double PlotFrame::yValue(double pixel) const
{
    return yMin_ + (bottom_ - pixel) / (bottom_ - top_) * (yMax_ - yMin_);
}

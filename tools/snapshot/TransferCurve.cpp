#include "TransferCurve.h"

#include <cmath>

TransferCurve::TransferCurve(const compressor& detector) : probe_(detector)
{
}

double TransferCurve::gainDb(double levelDb) const
{
    probe_.holdEnvelope(std::pow(10.0, levelDb / 20.0));
    return probe_.computeGain();
}

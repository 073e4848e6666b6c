#pragma once

// Static saturation curve applied to each channel before its stageFilter.
// Small-signal slope is 1.05; the even tanh(s^2) term makes it asymmetric,
// which adds second harmonics and a small DC offset that stageFilter removes.
double saturate(double s);

#pragma once

// One saturate call on its own, the unit the chain's cost is counted in.
void RegisterSaturateBenchmarks();

// Where its runs record their nanoseconds per call (BenchFigures).
extern const char* const kSaturateBenchKey;

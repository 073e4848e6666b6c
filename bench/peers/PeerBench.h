#pragma once

// Tidepull through its bundle's process against the peers it is measured
// by (LV2 compressors through lilv), interleaved in one run.
void RegisterPeerBenchmarks();

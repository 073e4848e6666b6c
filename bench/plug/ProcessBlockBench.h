#pragma once

// The processing chain in the scenes a host meets: settled music,
// automation, silence, MIX 0, the level-dependent release, a signal decaying
// to silence and the release tail after a burst; straight into ProcessBlock
// and through the adaptor's process.
void RegisterProcessBlockBenchmarks();

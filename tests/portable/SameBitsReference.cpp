// Writes what the normal build, SSE2 paths and all, makes of every scene:
// the portable twins' test compares against it.
#include "SameBitsScenes.h"

#include "dsp/lanePair.h"

#include <cstdio>

#ifndef TIDEPULL_LANES_SSE2
#error "the reference is the SSE2 build"
#endif

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    std::string error;
    const std::vector<SameBitsScene> scenes = MakeSameBitsScenes(error);
    if (scenes.empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }
    if (!WriteSameBitsScenes(argv[1], scenes)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    std::printf("%zu scenes written to %s\n", scenes.size(), argv[1]);
    return 0;
}

#pragma once

#include <cstdint>

// Counts PNG decodes anywhere in the process, a dlopened plug-in included:
// the benchmark binary exports its own png_create_read_struct, which every
// decode starts with, and the dynamic linker binds the plug-in's calls to it.
class PngDecodeCounter {
public:
    static int64_t Count();
};

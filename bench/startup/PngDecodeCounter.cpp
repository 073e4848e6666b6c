#include "startup/PngDecodeCounter.h"

#include <dlfcn.h>
#include <png.h>

#include <atomic>

namespace {

std::atomic<int64_t> gDecodes{0};

using CreateReadStruct = png_structp (*)(png_const_charp, png_voidp, png_error_ptr, png_error_ptr);

}   // namespace

int64_t PngDecodeCounter::Count()
{
    return gDecodes.load();
}

// Exported from the executable (see bench/CMakeLists.txt), so it comes before
// libpng's in the lookup of every module; counts, then hands on to libpng.
extern "C" __attribute__((visibility("default"))) png_structp
png_create_read_struct(png_const_charp version, png_voidp errorPtr, png_error_ptr errorFn, png_error_ptr warnFn)
{
    static const CreateReadStruct real = reinterpret_cast<CreateReadStruct>(dlsym(RTLD_NEXT, "png_create_read_struct"));
    ++gDecodes;
    return real ? real(version, errorPtr, errorFn, warnFn) : nullptr;
}

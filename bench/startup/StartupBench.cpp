// The built bundle, loaded with dlopen as a Linux host loads it. The libraries
// it links (libpng, X11, FreeType, fontconfig, libstdc++) are already loaded in
// this process, as in any host, so the load time is the plug-in's own:
// mapping and relocating the module and its static initialisers.
//
// libpng_decode_11_strips: libpng alone decoding the eleven strips from the
// same bytes into fresh buffers (RGBA rows, no transforms). It is the
// yardstick of the first instance, which times it again between its own
// instances: "vs_libpng_decode" is the first instance's time over libpng's
// in that run (target at most 1.2).
//
// PNG decodes are counted through png_create_read_struct (PngDecodeCounter):
// a scan must decode nothing, the first instance exactly the eleven strips,
// a later one nothing; any other count fails the benchmark.
#include "common/ThreadClock.h"
#include "pix/EmbeddedResource.h"
#include "startup/HeapUsage.h"
#include "startup/PluginBundle.h"
#include "startup/PngDecodeCounter.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kStripIds[] = {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111};
constexpr int64_t kStripCount = 11;

struct Cursor {
    const unsigned char* next;
    size_t left;
};

void ReadFromCursor(png_structp png, png_bytep out, size_t count)
{
    Cursor* c = static_cast<Cursor*>(png_get_io_ptr(png));
    if (count > c->left)
        png_error(png, "read past the end");
    std::memcpy(out, c->next, count);
    c->next += count;
    c->left -= count;
}

// One strip into a fresh buffer the caller frees; none on failure.
unsigned char* LibpngDecode(const unsigned char* data, size_t size)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    unsigned char* volatile pixels = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::free(rows);
        std::free(pixels);
        return nullptr;
    }
    Cursor cursor{data, size};
    png_set_read_fn(png, &cursor, ReadFromCursor);
    png_read_info(png, info);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    pixels = static_cast<unsigned char*>(std::malloc(rowBytes * height));
    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!pixels || !rows)
        png_error(png, "out of memory");
    for (png_uint_32 r = 0; r < height; ++r)
        rows[r] = pixels + r * rowBytes;
    png_read_image(png, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);
    return pixels;
}

// Bytes the decoded strips hold: rows padded to 4 pixels, as the bitmaps
// store them.
int64_t StripBytes()
{
    int64_t bytes = 0;
    for (int id : kStripIds) {
        const unsigned char* data = nullptr;
        size_t size = 0;
        if (!FindEmbeddedResource(id, &data, &size) || size < 24)
            return 0;
        const int64_t w = (int64_t(data[16]) << 24) | (data[17] << 16) | (data[18] << 8) | data[19];
        const int64_t h = (int64_t(data[20]) << 24) | (data[21] << 16) | (data[22] << 8) | data[23];
        bytes += h * ((w + 3) & ~int64_t(3)) * 4;
    }
    return bytes;
}

// Seconds libpng takes for the eleven strips, each into a buffer that stays
// until all are done (as the decoded strips stay); negative on failure.
double TimeLibpngDecode()
{
    std::vector<unsigned char*> decoded;
    const double start = ThreadClock::Seconds();
    for (int id : kStripIds) {
        const unsigned char* data = nullptr;
        size_t size = 0;
        FindEmbeddedResource(id, &data, &size);
        decoded.push_back(data ? LibpngDecode(data, size) : nullptr);
    }
    const double t = ThreadClock::Seconds() - start;
    bool ok = true;
    for (unsigned char* p : decoded) {
        ok = ok && p;
        std::free(p);
    }
    return ok ? t : -1.0;
}

void LibpngDecodeStrips(benchmark::State& st)
{
    for (auto _ : st) {
        const double t = TimeLibpngDecode();
        if (t < 0.0) {
            st.SkipWithError("libpng could not decode a strip");
            return;
        }
        st.SetIterationTime(t);
    }
}

void HostScan(benchmark::State& st)
{
    double loadSeconds = 0.0;
    double factorySeconds = 0.0;
    for (auto _ : st) {
        PluginBundle bundle(TIDEPULL_BENCH_BUNDLE);
        const int64_t decodesBefore = PngDecodeCounter::Count();
        const double start = ThreadClock::Seconds();
        const bool opened = bundle.Open();
        const double loaded = ThreadClock::Seconds();
        const bool scanned = opened && bundle.TakeFactory() && bundle.ReadClassInfos();
        const double end = ThreadClock::Seconds();
        const int64_t decodes = PngDecodeCounter::Count() - decodesBefore;
        bundle.Close();
        if (!scanned) {
            st.SkipWithError(bundle.Error().c_str());
            return;
        }
        if (decodes != 0) {
            st.SkipWithError("the scan decoded PNG data");
            return;
        }
        if (!bundle.IsUnloaded()) {
            st.SkipWithError("the module stayed loaded after dlclose");
            return;
        }
        loadSeconds += loaded - start;
        factorySeconds += end - loaded;
        st.SetIterationTime(end - start);
    }
    const double n = double(st.iterations());
    st.counters["load_ms"] = loadSeconds * 1e3 / n;
    st.counters["factory_and_class_infos_ms"] = factorySeconds * 1e3 / n;
    st.counters["png_decodes"] = 0;
}

void FirstInstance(benchmark::State& st)
{
    double seconds = 0.0;
    double libpngSeconds = 0.0;
    int64_t addedBytes = 0;
    for (auto _ : st) {
        // The yardstick, timed between the instances of this run, so that
        // load on the machine moves both alike.
        st.PauseTiming();
        const double libpng = TimeLibpngDecode();
        st.ResumeTiming();
        if (libpng < 0.0) {
            st.SkipWithError("libpng could not decode a strip");
            return;
        }
        libpngSeconds += libpng;
        PluginBundle bundle(TIDEPULL_BENCH_BUNDLE);
        if (!bundle.Open() || !bundle.TakeFactory() || !bundle.ReadClassInfos()) {
            st.SkipWithError(bundle.Error().c_str());
            return;
        }
        const int64_t decodesBefore = PngDecodeCounter::Count();
        const int64_t heapBefore = HeapUsage::InUse();
        const double start = ThreadClock::Seconds();
        Steinberg::FUnknown* instance = bundle.CreateInstance();
        const double t = ThreadClock::Seconds() - start;
        addedBytes += HeapUsage::InUse() - heapBefore;
        const int64_t decodes = PngDecodeCounter::Count() - decodesBefore;
        if (instance)
            instance->release();
        bundle.Close();
        if (!instance) {
            st.SkipWithError("createInstance failed");
            return;
        }
        if (decodes != kStripCount) {
            st.SkipWithError(("the first instance decoded " + std::to_string(decodes) + " images, not 11").c_str());
            return;
        }
        if (!bundle.IsUnloaded()) {
            st.SkipWithError("the module stayed loaded, so its strips were not decoded anew");
            return;
        }
        seconds += t;
        st.SetIterationTime(t);
    }
    const double n = double(st.iterations());
    const int64_t strips = StripBytes();
    st.counters["png_decodes"] = double(kStripCount);
    st.counters["strip_bytes"] = double(strips);
    st.counters["bytes_beyond_strips"] = double(addedBytes) / n - double(strips);
    st.counters["libpng_decode_ms"] = libpngSeconds * 1e3 / n;
    st.counters["vs_libpng_decode"] = seconds / libpngSeconds;
}

void LaterInstance(benchmark::State& st)
{
    PluginBundle bundle(TIDEPULL_BENCH_BUNDLE);
    if (!bundle.Open() || !bundle.TakeFactory() || !bundle.ReadClassInfos()) {
        st.SkipWithError(bundle.Error().c_str());
        return;
    }
    // Hosts keep their instances: all of them stay until the end.
    std::vector<Steinberg::FUnknown*> instances;
    instances.push_back(bundle.CreateInstance());
    const int64_t decodesBefore = PngDecodeCounter::Count();
    int64_t addedBytes = 0;
    bool created = instances.back() != nullptr;
    for (auto _ : st) {
        const int64_t heapBefore = HeapUsage::InUse();
        const double start = ThreadClock::Seconds();
        Steinberg::FUnknown* instance = bundle.CreateInstance();
        const double t = ThreadClock::Seconds() - start;
        addedBytes += HeapUsage::InUse() - heapBefore;
        instances.push_back(instance);
        created = created && instance;
        st.SetIterationTime(t);
    }
    const int64_t decodes = PngDecodeCounter::Count() - decodesBefore;
    for (Steinberg::FUnknown* instance : instances)
        if (instance)
            instance->release();
    bundle.Close();
    if (!created) {
        st.SkipWithError("createInstance failed");
        return;
    }
    if (decodes != 0) {
        st.SkipWithError("a later instance decoded PNG data");
        return;
    }
    st.counters["png_decodes"] = 0;
    st.counters["bytes_per_instance"] = double(addedBytes) / double(st.iterations());
}

void Register()
{
    benchmark::RegisterBenchmark("startup/libpng_decode_11_strips", LibpngDecodeStrips)
        ->UseManualTime()
        ->Iterations(20)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("startup/host_scan", HostScan)
        ->UseManualTime()
        ->Iterations(50)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("startup/first_instance", FirstInstance)
        ->UseManualTime()
        ->Iterations(20)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("startup/later_instance", LaterInstance)
        ->UseManualTime()
        ->Iterations(50)
        ->Unit(benchmark::kMicrosecond);
}

// Registered before main, in this file's order, with the rest of the
// binary's benchmarks (bench/BenchMain.cpp).
const bool kRegistered = (Register(), true);

}   // namespace

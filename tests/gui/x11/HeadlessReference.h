#pragma once

#include "TestHostContext.h"

#include "gui/Bounds.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <cstdint>
#include <vector>

class Tidepull;

// The same plug built into the test itself, never given a window: its
// editor drawn in memory is what the window on the server must show.
class HeadlessReference {
public:
    HeadlessReference();
    ~HeadlessReference();
    HeadlessReference(const HeadlessReference&) = delete;
    HeadlessReference& operator=(const HeadlessReference&) = delete;

    // Parameter changes in a block of no samples, as the tests send them
    // to the plug-in under test.
    void Apply(Steinberg::Vst::IParameterChanges& changes);
    // The whole editor drawn, 0xRRGGBB per pixel, row by row.
    std::vector<uint32_t> Picture() const;
    // Its part inside `rect`.
    std::vector<uint32_t> Picture(const Bounds& rect) const;
    // Where control `idx` of the editor lies.
    Bounds ControlRect(int32_t idx) const;

private:
    TestHostContext context;
    Tidepull* plug;
};

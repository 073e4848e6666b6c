#include "HeadlessReference.h"

#include "gui/Editor.h"
#include "pix/PIX_SysBitmap.h"
#include "plug/Tidepull.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

HeadlessReference::HeadlessReference() : plug(new Tidepull())
{
    plug->initialize(&context);
    ProcessSetup setup{kRealtime, kSample32, 512, 48000.0};
    plug->setupProcessing(setup);
    plug->setActive(true);
    plug->setProcessing(true);
}

HeadlessReference::~HeadlessReference()
{
    plug->setProcessing(false);
    plug->setActive(false);
    plug->terminate();
    plug->release();
}

void HeadlessReference::Apply(IParameterChanges& changes)
{
    ProcessData data;
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample32;
    data.numSamples = 0;
    data.inputParameterChanges = &changes;
    plug->process(data);
}

std::vector<uint32_t> HeadlessReference::Picture() const
{
    auto* editor = dynamic_cast<Editor*>(plug->GetEditor());
    return editor ? Picture(Bounds(0, 0, editor->Width(), editor->Height())) : std::vector<uint32_t>();
}

std::vector<uint32_t> HeadlessReference::Picture(const Bounds& rect) const
{
    std::vector<uint32_t> pixels;
    auto* editor = dynamic_cast<Editor*>(plug->GetEditor());
    if (!editor)
        return pixels;
    editor->Render(Bounds(0, 0, editor->Width(), editor->Height()));
    const PIX_SysBitmap& surface = *editor->DrawingSurface();
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        const PIX_Pixel32* row = PIX_RowPointer(surface, surface.Pixels(), y);
        for (int32_t x = rect.left; x < rect.right; ++x)
            pixels.push_back(row[x] & 0xFFFFFFu);
    }
    return pixels;
}

Bounds HeadlessReference::ControlRect(int32_t idx) const
{
    auto* editor = dynamic_cast<Editor*>(plug->GetEditor());
    const Control* c = editor ? editor->GetControl(idx) : nullptr;
    return c ? c->Rect() : Bounds();
}

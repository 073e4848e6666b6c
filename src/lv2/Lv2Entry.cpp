// The LV2 module's one exported entry point and its one plug-in.
#include "plug/Tidepull.h"
#include "plug/TidepullIdentity.h"

#include <lv2/core/lv2.h>

#include <mutex>
#include <new>

namespace {

// The meter the editor shows, for the gain-reduction port; the sidechain
// read only as the key.
class Lv2Tidepull final : public Tidepull {
protected:
    double MeterReduction() const override { return MeterState(); }
    bool ReadsSidechain() const override { return ParamAt(kExternalSidechain)->Value() >= 1.0; }
};

// Instances are built one at a time, whichever host threads ask.
std::mutex& CreationLock()
{
    static std::mutex lock;
    return lock;
}

LV2_Handle Instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const*)
{
    Lv2Tidepull* plug = nullptr;
    {
        std::lock_guard<std::mutex> lock(CreationLock());
        plug = new (std::nothrow) Lv2Tidepull();
    }
    if (plug && !plug->Start(rate)) {
        delete plug;
        plug = nullptr;
    }
    return plug;
}

Lv2Tidepull* Plug(LV2_Handle handle)
{
    return static_cast<Lv2Tidepull*>(handle);
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data)
{
    Plug(handle)->ConnectPort(port, data);
}

void Activate(LV2_Handle handle)
{
    Plug(handle)->Activate();
}

void Run(LV2_Handle handle, uint32_t nFrames)
{
    Plug(handle)->Run(nFrames);
}

void Deactivate(LV2_Handle handle)
{
    Plug(handle)->ActivationChanged(false);
}

void Cleanup(LV2_Handle handle)
{
    delete Plug(handle);
}

const void* ExtensionData(const char*)
{
    return nullptr;
}

const LV2_Descriptor kDescriptor = {
    TidepullIdentity::kLv2Uri, Instantiate, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData};

}   // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    return index == 0 ? &kDescriptor : nullptr;
}

// The LV2 UI module's one exported entry point and its one UI: the editor.
#include "lv2/Lv2Ui.h"
#include "plug/Tidepull.h"
#include "plug/TidepullIdentity.h"

#include <cstring>
#include <mutex>
#include <new>

namespace {

// The plug's meter control, for the gain-reduction port.
class Lv2UiTidepull final : public Tidepull {
protected:
    int32_t MeterControl() const override { return MeterControlIndex(); }
};

// UIs are built one at a time, whichever host threads ask.
std::mutex& CreationLock()
{
    static std::mutex lock;
    return lock;
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    if (!pluginUri || std::strcmp(pluginUri, TidepullIdentity::kLv2Uri) != 0)
        return nullptr;
    std::lock_guard<std::mutex> lock(CreationLock());
    std::unique_ptr<Lv2UiPlug> plug(new (std::nothrow) Lv2UiTidepull());
    return Lv2Ui::Open(std::move(plug), write, controller, features, widget).release();
}

Lv2Ui* Ui(LV2UI_Handle handle)
{
    return static_cast<Lv2Ui*>(handle);
}

void Cleanup(LV2UI_Handle handle)
{
    delete Ui(handle);
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    Ui(handle)->PortEvent(port, size, format, buffer);
}

const void* ExtensionData(const char* uri)
{
    return Lv2Ui::ExtensionData(uri);
}

const LV2UI_Descriptor kDescriptor = {TidepullIdentity::kLv2UiUri, Instantiate, Cleanup, PortEvent, ExtensionData};

}   // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    return index == 0 ? &kDescriptor : nullptr;
}

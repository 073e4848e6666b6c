#include "lv2/Lv2Ui.h"

#include "gui/DisplayScale.h"
#include "gui/Editor.h"

#include <lv2/atom/atom.h>

#include <cstring>
#include <mutex>

namespace {

const void* FeatureData(const LV2_Feature* const* features, const char* uri, bool* present = nullptr)
{
    for (const LV2_Feature* const* f = features; f && *f; ++f) {
        if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) {
            if (present)
                *present = true;
            return (*f)->data;
        }
    }
    return nullptr;
}

int IdleOf(LV2UI_Handle handle)
{
    return static_cast<Lv2Ui*>(handle)->Idle();
}

uint32_t GetOptionsOf(LV2_Handle handle, LV2_Options_Option* options)
{
    return static_cast<Lv2Ui*>(handle)->GetOptions(options);
}

uint32_t SetOptionsOf(LV2_Handle handle, const LV2_Options_Option* options)
{
    return static_cast<Lv2Ui*>(handle)->SetOptions(options);
}

const LV2UI_Idle_Interface kIdle = {IdleOf};
const LV2_Options_Interface kOptions = {GetOptionsOf, SetOptionsOf};

}   // namespace

Lv2Ui::Lv2Ui(std::unique_ptr<Lv2UiPlug> p) : plug(std::move(p))
{
}

std::unique_ptr<Lv2Ui> Lv2Ui::Open(std::unique_ptr<Lv2UiPlug> plug, LV2UI_Write_Function write,
                                   LV2UI_Controller controller, const LV2_Feature* const* features,
                                   LV2UI_Widget* widget)
{
    void* parent = const_cast<void*>(FeatureData(features, LV2_UI__parent));
    if (!plug || !parent || !widget)
        return nullptr;
    std::unique_ptr<Lv2Ui> ui(new Lv2Ui(std::move(plug)));
    Editor* editor = ui->PlugEditor();
    if (!editor)
        return nullptr;

    Lv2UiPlug::Host host;
    host.write = write;
    host.controller = controller;
    host.touch = static_cast<const LV2UI_Touch*>(FeatureData(features, LV2_UI__touch));
    host.resize = static_cast<const LV2UI_Resize*>(FeatureData(features, LV2_UI__resize));
    ui->plug->SetHost(host);

    ui->map = static_cast<const LV2_URID_Map*>(FeatureData(features, LV2_URID__map));
    if (ui->map && ui->map->map) {
        ui->scaleFactorUrid = ui->map->map(ui->map->handle, LV2_UI__scaleFactor);
        ui->floatUrid = ui->map->map(ui->map->handle, LV2_ATOM__Float);
        ui->doubleUrid = ui->map->map(ui->map->handle, LV2_ATOM__Double);
    }
    double factor = 1.0;
    if (ui->ScaleOf(static_cast<const LV2_Options_Option*>(FeatureData(features, LV2_OPTIONS__options)), factor))
        editor->SetHostDisplayScale(DisplayScale::FromFactor(factor));

    ui->plug->SeedMeter();
    void* window = editor->CreateEditorWindow(parent);
    if (!window)
        return nullptr;
    *widget = window;
    ui->plug->ResizeEditor(editor->DeviceWidth(), editor->DeviceHeight());
    return ui;
}

Lv2Ui::~Lv2Ui()
{
    if (Editor* editor = PlugEditor())
        editor->DestroyEditorWindow();
    // Nothing reaches the host once the UI is gone.
    plug->SetHost(Lv2UiPlug::Host{});
}

Editor* Lv2Ui::PlugEditor() const
{
    return static_cast<Editor*>(plug->GetEditor());
}

void Lv2Ui::PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    if (format == 0 && size == sizeof(float) && buffer) {
        float value;
        std::memcpy(&value, buffer, sizeof value);
        plug->PortEvent(port, value);
    }
    // Hosts that never call idle() still keep the window going.
    if (Editor* editor = PlugEditor())
        editor->Pump();
}

int Lv2Ui::Idle()
{
    Editor* editor = PlugEditor();
    if (!editor || !editor->IsWindowOpen())
        return 1;
    editor->Pump();
    return editor->IsWindowOpen() ? 0 : 1;
}

bool Lv2Ui::ScaleOf(const LV2_Options_Option* options, double& factor) const
{
    if (!scaleFactorUrid)
        return false;
    for (const LV2_Options_Option* o = options; o && o->key; ++o) {
        if (o->key != scaleFactorUrid || !o->value)
            continue;
        if (o->type == floatUrid && o->size == sizeof(float)) {
            float f;
            std::memcpy(&f, o->value, sizeof f);
            factor = f;
            return true;
        }
        if (o->type == doubleUrid && o->size == sizeof(double)) {
            std::memcpy(&factor, o->value, sizeof factor);
            return true;
        }
    }
    return false;
}

uint32_t Lv2Ui::SetOptions(const LV2_Options_Option* options)
{
    double factor = 1.0;
    if (!ScaleOf(options, factor))
        return LV2_OPTIONS_SUCCESS;
    Editor* editor = PlugEditor();
    if (!editor)
        return LV2_OPTIONS_ERR_UNKNOWN;
    // A new scale resizes the window and tells the host the new size.
    editor->SetHostDisplayScale(DisplayScale::FromFactor(factor));
    return LV2_OPTIONS_SUCCESS;
}

uint32_t Lv2Ui::GetOptions(LV2_Options_Option* options) const
{
    // The UI keeps no option for the host to read.
    uint32_t status = LV2_OPTIONS_SUCCESS;
    for (LV2_Options_Option* o = options; o && o->key; ++o)
        status |= LV2_OPTIONS_ERR_BAD_KEY;
    return status;
}

const void* Lv2Ui::ExtensionData(const char* uri)
{
    if (!uri)
        return nullptr;
    if (std::strcmp(uri, LV2_UI__idleInterface) == 0)
        return &kIdle;
    if (std::strcmp(uri, LV2_OPTIONS__interface) == 0)
        return &kOptions;
    return nullptr;
}

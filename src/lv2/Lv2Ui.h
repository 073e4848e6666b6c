#pragma once

#include "lv2/Lv2UiPlug.h"

#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <memory>

class Editor;

// One open LV2 UI: the plug's editor in a window of its own inside the
// host's parent window (ui:parent, the one feature it needs). The host
// drives it through idle() (ui:idleInterface) and port_event(), on its
// user-interface thread; with neither called often, the window still shows
// its last picture, which the X server repaints by itself.
//
// The size goes to the host through ui:resize; the scale is the host's
// ui:scaleFactor option where it gives one (then also later, through the
// options interface), else the desktop's.
class Lv2Ui {
public:
    // Null when the host gave no parent window or the window did not open.
    static std::unique_ptr<Lv2Ui> Open(std::unique_ptr<Lv2UiPlug> plug, LV2UI_Write_Function write,
                                       LV2UI_Controller controller, const LV2_Feature* const* features,
                                       LV2UI_Widget* widget);
    ~Lv2Ui();
    Lv2Ui(const Lv2Ui&) = delete;
    Lv2Ui& operator=(const Lv2Ui&) = delete;

    // Only float control values (format 0) are read.
    void PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    // Non-zero asks the host to close the UI: the window is gone.
    int Idle();
    // The options interface: a new ui:scaleFactor resizes the editor.
    uint32_t SetOptions(const LV2_Options_Option* options);
    uint32_t GetOptions(LV2_Options_Option* options) const;

    // What extension_data answers: the idle and options interfaces.
    static const void* ExtensionData(const char* uri);

private:
    explicit Lv2Ui(std::unique_ptr<Lv2UiPlug> plug);
    Editor* PlugEditor() const;
    // ui:scaleFactor among the options, as a Float or a Double; false for none.
    bool ScaleOf(const LV2_Options_Option* options, double& factor) const;

    std::unique_ptr<Lv2UiPlug> plug;
    const LV2_URID_Map* map = nullptr;
    uint32_t scaleFactorUrid = 0;
    uint32_t floatUrid = 0;
    uint32_t doubleUrid = 0;
};

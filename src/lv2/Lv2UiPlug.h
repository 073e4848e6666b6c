#pragma once

#include "lv2/Lv2Plug.h"

#include <lv2/ui/ui.h>

#include <cstdint>

// The plug as the LV2 UI module holds it: the parameters and the editor,
// with the ports of Lv2Plug. The host's port values come in through
// PortEvent; the editor's edits go out to the host's ports, between touch
// begin and end where the host can record gestures.
class Lv2UiPlug : public Lv2Plug {
public:
    static constexpr bool kBuildsEditor = true;

    using Lv2Plug::Lv2Plug;

    // What the host gave the UI; any of it may be missing.
    struct Host {
        LV2UI_Write_Function write = nullptr;
        LV2UI_Controller controller = nullptr;
        const LV2UI_Touch* touch = nullptr;
        const LV2UI_Resize* resize = nullptr;
    };
    void SetHost(const Host& h) { host = h; }

    // A control port's value as the host has it: a parameter's moves its
    // controls (not while the editor is editing it), the gain reduction the
    // meter. Other ports and non-numbers change nothing.
    void PortEvent(uint32_t port, float value);
    // The meter at rest before the window first draws: a control takes its
    // first value without a redraw, so the host's first reading would not show.
    void SeedMeter();

    void BeginParamEdit(int32_t paramIdx) override;
    void PerformParamEdit(int32_t paramIdx, double normalized) override;
    void EndParamEdit(int32_t paramIdx) override;
    // The editor's new size in device pixels, told to the host.
    void ResizeEditor(int32_t width, int32_t height) override;

protected:
    // The editor control that shows the meter; none by default.
    virtual int32_t MeterControl() const { return -1; }

private:
    void Touch(int32_t paramIdx, bool grabbed);

    Host host;
};

#pragma once

#include "TestXlib.h"

#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The bundle's editor as an LV2 host embeds it: the UI module the Turtle
// names, loaded and instantiated in a window of the test's on the X server,
// with the features a host may or may not give. Every write, touch and
// resize the UI sends is logged.
class Lv2UiHost {
public:
    struct Offer {
        bool parent = true;
        bool resize = true;
        bool idleFeature = true;
        enum class Touch { kNone, kNullData, kInterface } touch = Touch::kInterface;
        // ui:scaleFactor as an option; 0 gives none.
        double scale = 0.0;
        bool scaleAsDouble = false;
    };

    // The parent window follows every size the UI asks for, as suil's does.
    Lv2UiHost(Display* display, Window parent, const Offer& offer);
    ~Lv2UiHost();
    Lv2UiHost(const Lv2UiHost&) = delete;
    Lv2UiHost& operator=(const Lv2UiHost&) = delete;

    bool Ok() const { return handle != nullptr; }
    Window Widget() const { return widget; }

    void PortEvent(const std::string& symbol, float value);
    void PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    // Through the idle interface the UI gives; -1 when it gives none.
    int Idle();
    // Idle calls at about a host's rate until `done` holds; whether it did
    // within the deadline.
    bool IdleUntil(const std::function<bool()>& done);
    // A new ui:scaleFactor through the options interface; its status.
    uint32_t SetScale(float factor);

    // "touch <symbol> 1", "write <symbol> <value>", "resize <w>x<h>", in order.
    std::vector<std::string> log;

private:
    static void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer);
    static int Resize(LV2UI_Feature_Handle h, int width, int height);
    static void Touch(LV2UI_Feature_Handle h, uint32_t port, bool grabbed);
    static LV2_URID Map(LV2_URID_Map_Handle h, const char* uri);
    static std::string SymbolOf(uint32_t port);

    Display* display;
    Window parent;
    void* module = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    LV2UI_Handle handle = nullptr;
    Window widget = 0;
    std::map<std::string, LV2_URID> urids;
    LV2_URID_Map map{this, Map};
    LV2UI_Resize resize{this, Resize};
    LV2UI_Touch touch{this, Touch};
    float scaleFloat = 0.0f;
    double scaleDouble = 0.0;
    std::vector<LV2_Options_Option> options;
};

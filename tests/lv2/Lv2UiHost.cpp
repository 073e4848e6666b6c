#include "Lv2UiHost.h"

#include "Lv2Host.h"
#include "TestDeadline.h"

#include <lv2/atom/atom.h>

#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

Lv2UiHost::Lv2UiHost(Display* d, Window p, const Offer& offer) : display(d), parent(p)
{
    std::string uri;
    const std::string binary = Lv2Host::X11UiBinary(uri);
    module = binary.empty() ? nullptr : dlopen(binary.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto* entry =
        module ? reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(module, "lv2ui_descriptor")) : nullptr;
    descriptor = entry ? entry(0) : nullptr;
    if (!descriptor || uri != descriptor->URI)
        return;

    if (offer.scale > 0.0) {
        scaleFloat = static_cast<float>(offer.scale);
        scaleDouble = offer.scale;
        options.push_back({LV2_OPTIONS_INSTANCE, 0, Map(this, LV2_UI__scaleFactor),
                           static_cast<uint32_t>(offer.scaleAsDouble ? sizeof(double) : sizeof(float)),
                           Map(this, offer.scaleAsDouble ? LV2_ATOM__Double : LV2_ATOM__Float),
                           offer.scaleAsDouble ? static_cast<const void*>(&scaleDouble) : &scaleFloat});
    }
    options.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});

    const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(static_cast<uintptr_t>(parent))};
    const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
    const LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
    const LV2_Feature touchFeature{LV2_UI__touch, offer.touch == Offer::Touch::kInterface ? &touch : nullptr};
    const LV2_Feature mapFeature{LV2_URID__map, &map};
    const LV2_Feature optionsFeature{LV2_OPTIONS__options, options.data()};
    std::vector<const LV2_Feature*> features = {&mapFeature, &optionsFeature};
    if (offer.parent)
        features.push_back(&parentFeature);
    if (offer.resize)
        features.push_back(&resizeFeature);
    if (offer.idleFeature)
        features.push_back(&idleFeature);
    if (offer.touch != Offer::Touch::kNone)
        features.push_back(&touchFeature);
    features.push_back(nullptr);

    void* widgetHandle = nullptr;
    handle = descriptor->instantiate(descriptor, TIDEPULL_LV2_URI, TIDEPULL_LV2_BUNDLE "/", Write, this, &widgetHandle,
                                     features.data());
    widget = static_cast<Window>(reinterpret_cast<uintptr_t>(widgetHandle));
}

Lv2UiHost::~Lv2UiHost()
{
    if (handle)
        descriptor->cleanup(handle);
    if (module)
        dlclose(module);
}

void Lv2UiHost::PortEvent(const std::string& symbol, float value)
{
    PortEvent(Lv2Host::PortIndex(symbol), sizeof value, 0, &value);
}

void Lv2UiHost::PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    descriptor->port_event(handle, port, size, format, buffer);
}

int Lv2UiHost::Idle()
{
    const auto* idle = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    return idle ? idle->idle(handle) : -1;
}

bool Lv2UiHost::IdleUntil(const std::function<bool()>& done)
{
    const auto deadline = TestDeadline::Clock::now() + TestDeadline::Limit();
    while (!done()) {
        if (TestDeadline::Clock::now() > deadline)
            return false;
        Idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

uint32_t Lv2UiHost::SetScale(float factor)
{
    const auto* iface = static_cast<const LV2_Options_Interface*>(descriptor->extension_data(LV2_OPTIONS__interface));
    if (!iface)
        return LV2_OPTIONS_ERR_UNKNOWN;
    const LV2_Options_Option set[] = {
        {LV2_OPTIONS_INSTANCE, 0, Map(this, LV2_UI__scaleFactor), sizeof factor, Map(this, LV2_ATOM__Float), &factor},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    return iface->set(handle, set);
}

void Lv2UiHost::Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer)
{
    auto* self = static_cast<Lv2UiHost*>(const_cast<void*>(controller));
    if (protocol != 0 || size != sizeof(float)) {
        self->log.push_back("write " + SymbolOf(port) + " in another protocol");
        return;
    }
    float value;
    std::memcpy(&value, buffer, sizeof value);
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    self->log.push_back("write " + SymbolOf(port) + " " + text);
}

int Lv2UiHost::Resize(LV2UI_Feature_Handle h, int width, int height)
{
    auto* self = static_cast<Lv2UiHost*>(h);
    self->log.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
    XResizeWindow(self->display, self->parent, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(self->display, False);
    return 0;
}

void Lv2UiHost::Touch(LV2UI_Feature_Handle h, uint32_t port, bool grabbed)
{
    static_cast<Lv2UiHost*>(h)->log.push_back("touch " + SymbolOf(port) + (grabbed ? " 1" : " 0"));
}

LV2_URID Lv2UiHost::Map(LV2_URID_Map_Handle h, const char* uri)
{
    auto& ids = static_cast<Lv2UiHost*>(h)->urids;
    return ids.emplace(uri, static_cast<LV2_URID>(ids.size() + 1)).first->second;
}

std::string Lv2UiHost::SymbolOf(uint32_t port)
{
    const std::string s = Lv2Host::SymbolAt(port);
    return s.empty() ? "port" + std::to_string(port) : s;
}

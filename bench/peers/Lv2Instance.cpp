#include "peers/Lv2Instance.h"

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <map>

namespace {

// lilv's world is process-wide: loading every bundle once is the slow part.
LilvWorld* World()
{
    static LilvWorld* world = [] {
        LilvWorld* w = lilv_world_new();
        lilv_world_load_all(w);
        return w;
    }();
    return world;
}

// A bundle in a world of its own, so an installed copy of the same plug-in
// (the same URI) can not stand in for it. Only called while instantiating.
LilvWorld* BundleWorld(const std::string& bundle)
{
    static std::map<std::string, LilvWorld*> worlds;
    LilvWorld*& w = worlds[bundle];
    if (!w) {
        w = lilv_world_new();
        lilv_world_load_specifications(w);
        lilv_world_load_plugin_classes(w);
        LilvNode* node = lilv_new_file_uri(w, nullptr, (bundle + "/").c_str());
        lilv_world_load_bundle(w, node);
        lilv_node_free(node);
    }
    return w;
}

// urid:map, which both peers require. Only called while instantiating.
class UridMap {
public:
    static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri)
    {
        auto& ids = static_cast<UridMap*>(handle)->ids;
        auto it = ids.find(uri);
        if (it != ids.end())
            return it->second;
        const LV2_URID id = static_cast<LV2_URID>(ids.size() + 1);
        ids.emplace(uri, id);
        return id;
    }
    LV2_URID_Map feature{this, &UridMap::Map};

private:
    std::map<std::string, LV2_URID> ids;
};

UridMap& SharedMap()
{
    static UridMap map;
    return map;
}

}   // namespace

struct Lv2Instance::Impl {
    LilvInstance* instance = nullptr;
    std::vector<float> controls;   // one value per port index
    std::map<std::string, uint32_t> index;   // control input symbol to port index
    std::vector<uint32_t> audioIn, audioOut;
    std::vector<float> silence, scratch;   // for the audio ports past the first two
};

Lv2Instance::Lv2Instance(const std::string& uri, double sampleRate, uint32_t maxBlock,
                         const std::vector<std::pair<std::string, float>>& settings, const std::string& bundle)
    : impl(new Impl)
{
    LilvWorld* world = bundle.empty() ? World() : BundleWorld(bundle);
    LilvNode* uriNode = lilv_new_uri(world, uri.c_str());
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uriNode);
    lilv_node_free(uriNode);
    if (!plugin) {
        error = "LV2 plug-in " + uri + " is not installed";
        return;
    }
    if (LilvNode* n = lilv_plugin_get_name(plugin)) {
        name = lilv_node_as_string(n);
        lilv_node_free(n);
    }

    LilvNode* audioClass = lilv_new_uri(world, LV2_CORE__AudioPort);
    LilvNode* controlClass = lilv_new_uri(world, LV2_CORE__ControlPort);
    LilvNode* inputClass = lilv_new_uri(world, LV2_CORE__InputPort);
    LilvNode* atomClass = lilv_new_uri(world, LV2_ATOM__AtomPort);
    const uint32_t ports = lilv_plugin_get_num_ports(plugin);
    std::vector<float> defaults(ports, 0.0f);
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
    impl->controls.assign(ports, 0.0f);
    std::vector<bool> isAtom(ports, false);
    for (uint32_t p = 0; p < ports; ++p) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
        const bool input = lilv_port_is_a(plugin, port, inputClass);
        if (lilv_port_is_a(plugin, port, audioClass)) {
            (input ? impl->audioIn : impl->audioOut).push_back(p);
        } else if (lilv_port_is_a(plugin, port, controlClass)) {
            impl->controls[p] = defaults[p] == defaults[p] ? defaults[p] : 0.0f;
            if (input)
                impl->index[lilv_node_as_string(lilv_port_get_symbol(plugin, port))] = p;
        } else if (lilv_port_is_a(plugin, port, atomClass)) {
            isAtom[p] = true;
        }
    }
    lilv_node_free(atomClass);
    lilv_node_free(inputClass);
    lilv_node_free(controlClass);
    lilv_node_free(audioClass);
    if (impl->audioIn.size() < 2 || impl->audioOut.size() < 2) {
        error = name + " is not a stereo plug-in";
        return;
    }
    for (const auto& s : settings) {
        if (!impl->index.count(s.first)) {
            error = name + " has no control " + s.first;
            return;
        }
        impl->controls[impl->index[s.first]] = s.second;
    }

    LV2_Feature mapFeature{LV2_URID__map, &SharedMap().feature};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    impl->instance = lilv_plugin_instantiate(plugin, sampleRate, features);
    if (!impl->instance) {
        error = name + " did not instantiate";
        return;
    }
    // Audio ports past the first two of each direction (a sidechain) read
    // silence and write to scratch, as a host with nothing routed to them.
    impl->silence.assign(maxBlock, 0.0f);
    impl->scratch.assign(maxBlock, 0.0f);
    for (uint32_t p = 0; p < ports; ++p) {
        // The peers' atom ports (their editors' messages) are optional.
        if (isAtom[p]) {
            lilv_instance_connect_port(impl->instance, p, nullptr);
        } else {
            lilv_instance_connect_port(impl->instance, p, &impl->controls[p]);
        }
    }
    for (size_t c = 2; c < impl->audioIn.size(); ++c)
        lilv_instance_connect_port(impl->instance, impl->audioIn[c], impl->silence.data());
    for (size_t c = 2; c < impl->audioOut.size(); ++c)
        lilv_instance_connect_port(impl->instance, impl->audioOut[c], impl->scratch.data());
    lilv_instance_activate(impl->instance);
}

Lv2Instance::~Lv2Instance()
{
    if (impl->instance) {
        lilv_instance_deactivate(impl->instance);
        lilv_instance_free(impl->instance);
    }
    delete impl;
}

void Lv2Instance::SetControl(const std::string& symbol, float value)
{
    auto it = impl->index.find(symbol);
    if (it != impl->index.end())
        impl->controls[it->second] = value;
}

void Lv2Instance::Run(const float* const* in, float* const* out, uint32_t n)
{
    for (int c = 0; c < 2; ++c) {
        lilv_instance_connect_port(impl->instance, impl->audioIn[c], const_cast<float*>(in[c]));
        lilv_instance_connect_port(impl->instance, impl->audioOut[c], out[c]);
    }
    lilv_instance_run(impl->instance, n);
}

#include "Lv2Host.h"

#include <lilv/lilv.h>
#include <lv2/presets/presets.h>
#include <lv2/ui/ui.h>
#include <lv2/units/units.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

// The bundle alone, with the LV2 vocabularies its Turtle refers to.
LilvWorld* World()
{
    static LilvWorld* world = [] {
        LilvWorld* w = lilv_world_new();
        lilv_world_load_specifications(w);
        lilv_world_load_plugin_classes(w);
        LilvNode* bundle = lilv_new_file_uri(w, nullptr, TIDEPULL_LV2_BUNDLE "/");
        lilv_world_load_bundle(w, bundle);
        lilv_node_free(bundle);
        return w;
    }();
    return world;
}

using Node = std::unique_ptr<LilvNode, decltype(&lilv_node_free)>;
Node Uri(const char* uri)
{
    return Node(lilv_new_uri(World(), uri), &lilv_node_free);
}

const LilvPlugin* Plugin()
{
    return lilv_plugins_get_by_uri(lilv_world_get_all_plugins(World()), Uri(TIDEPULL_LV2_URI).get());
}

const LilvPort* Port(const std::string& symbol)
{
    const Node s(lilv_new_string(World(), symbol.c_str()), &lilv_node_free);
    return lilv_plugin_get_port_by_symbol(Plugin(), s.get());
}

// lilv reads a preset through urid:map; the plug-in itself gets no features.
LV2_URID_Map* Map()
{
    static std::map<std::string, LV2_URID> ids;
    static LV2_URID_Map map{nullptr, [](LV2_URID_Map_Handle, const char* uri) {
                                return ids.emplace(uri, static_cast<LV2_URID>(ids.size() + 1)).first->second;
                            }};
    return &map;
}

}   // namespace

Lv2Host::Lv2Host(double sampleRate)
{
    controls.assign(lilv_plugin_get_num_ports(Plugin()), 0.0f);
    lilv_plugin_get_port_ranges_float(Plugin(), nullptr, nullptr, controls.data());
    instance = lilv_plugin_instantiate(Plugin(), sampleRate, nullptr);
    if (!instance)
        return;
    for (uint32_t p = Index("input_atten"); p < controls.size(); ++p)
        lilv_instance_connect_port(instance, p, &controls[p]);
    lilv_instance_activate(instance);
}

Lv2Host::~Lv2Host()
{
    if (instance) {
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
}

uint32_t Lv2Host::Index(const std::string& symbol)
{
    return lilv_port_get_index(Plugin(), Port(symbol));
}

bool Lv2Host::ApplyPreset(const std::string& label)
{
    LilvNodes* presets = lilv_plugin_get_related(Plugin(), Uri(LV2_PRESETS__Preset).get());
    bool found = false;
    LILV_FOREACH(nodes, i, presets)
    {
        lilv_world_load_resource(World(), lilv_nodes_get(presets, i));
        LilvState* state = lilv_state_new_from_world(World(), Map(), lilv_nodes_get(presets, i));
        if (state && label == lilv_state_get_label(state)) {
            auto setPort = [](const char* symbol, void* self, const void* value, uint32_t, uint32_t) {
                static_cast<Lv2Host*>(self)->Set(symbol, *static_cast<const float*>(value));
            };
            lilv_state_restore(state, nullptr, setPort, this, 0, nullptr);
            found = true;
        }
        lilv_state_free(state);
    }
    lilv_nodes_free(presets);
    return found;
}

std::string Lv2Host::UnitOf(const std::string& symbol)
{
    LilvNodes* units = lilv_port_get_value(Plugin(), Port(symbol), Uri(LV2_UNITS__unit).get());
    const std::string unit = units ? lilv_node_as_uri(lilv_nodes_get_first(units)) : "";
    lilv_nodes_free(units);
    return unit;
}

std::string Lv2Host::SymbolAt(uint32_t index)
{
    const LilvPort* port = lilv_plugin_get_port_by_index(Plugin(), index);
    return port ? lilv_node_as_string(lilv_port_get_symbol(Plugin(), port)) : "";
}

std::string Lv2Host::X11UiBinary(std::string& uiUri)
{
    std::string binary;
    LilvUIs* uis = lilv_plugin_get_uis(Plugin());
    LILV_FOREACH(uis, i, uis)
    {
        const LilvUI* ui = lilv_uis_get(uis, i);
        if (!lilv_ui_is_a(ui, Uri(LV2_UI__X11UI).get()))
            continue;
        uiUri = lilv_node_as_uri(lilv_ui_get_uri(ui));
        char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
        binary = path ? path : "";
        lilv_free(path);
    }
    lilv_uis_free(uis);
    return binary;
}

Lv2Host::Channels Lv2Host::Process(const Channels& in, uint32_t block, bool inPlace)
{
    Channels work = in;
    Channels out(2, std::vector<float>(in[0].size()));
    const char* const symbols[] = {"in_l", "in_r", "sc_l", "sc_r", "out_l", "out_r"};
    for (size_t done = 0; done < in[0].size(); done += block) {
        // Hosts connect the audio ports before every run().
        for (size_t c = 0; c < 6; ++c) {
            float* data = c < 4 ? (c < work.size() ? work[c].data() : nullptr) : (inPlace ? work : out)[c - 4].data();
            lilv_instance_connect_port(instance, Index(symbols[c]), data ? data + done : nullptr);
        }
        lilv_instance_run(instance, static_cast<uint32_t>(std::min<size_t>(block, in[0].size() - done)));
    }
    return inPlace ? Channels(work.begin(), work.begin() + 2) : out;
}

void Lv2Host::RunEmpty(uint32_t nFrames)
{
    for (uint32_t p = 0; p < Index("input_atten"); ++p)
        lilv_instance_connect_port(instance, p, nullptr);
    lilv_instance_run(instance, nFrames);
}

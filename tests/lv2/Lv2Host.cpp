#include "Lv2Host.h"

#include <lilv/lilv.h>
#include <lv2/presets/presets.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <map>

namespace {

// The bundle alone, with the specifications its Turtle refers to.
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

const LilvPlugin* Plugin()
{
    LilvNode* uri = lilv_new_uri(World(), TIDEPULL_LV2_URI);
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(World()), uri);
    lilv_node_free(uri);
    return plugin;
}

// lilv reads a preset through urid:map; the plug-in itself gets no features.
LV2_URID_Map* Map()
{
    static std::map<std::string, LV2_URID> ids;
    static LV2_URID_Map map{&ids, [](LV2_URID_Map_Handle, const char* uri) {
                                return ids.emplace(uri, static_cast<LV2_URID>(ids.size() + 1)).first->second;
                            }};
    return &map;
}

LilvInstance* Instance(void* p)
{
    return static_cast<LilvInstance*>(p);
}

}   // namespace

Lv2Host::Lv2Host(double sampleRate)
{
    const LilvPlugin* plugin = Plugin();
    if (!plugin)
        return;
    controls.assign(lilv_plugin_get_num_ports(plugin), 0.0f);
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, controls.data());
    instance = lilv_plugin_instantiate(plugin, sampleRate, nullptr);
    if (!instance)
        return;
    for (uint32_t p = Index("input_atten"); p < controls.size(); ++p)
        lilv_instance_connect_port(Instance(instance), p, &controls[p]);
    lilv_instance_activate(Instance(instance));
}

Lv2Host::~Lv2Host()
{
    if (instance) {
        lilv_instance_deactivate(Instance(instance));
        lilv_instance_free(Instance(instance));
    }
}

uint32_t Lv2Host::Index(const std::string& symbol) const
{
    LilvNode* s = lilv_new_string(World(), symbol.c_str());
    const LilvPort* port = lilv_plugin_get_port_by_symbol(Plugin(), s);
    lilv_node_free(s);
    return port ? lilv_port_get_index(Plugin(), port) : UINT32_MAX;
}

void Lv2Host::Set(const std::string& symbol, float value)
{
    controls.at(Index(symbol)) = value;
}

float Lv2Host::Get(const std::string& symbol) const
{
    return controls.at(Index(symbol));
}

bool Lv2Host::ApplyPreset(const std::string& label)
{
    LilvNode* presetClass = lilv_new_uri(World(), LV2_PRESETS__Preset);
    LilvNodes* presets = lilv_plugin_get_related(Plugin(), presetClass);
    LilvNode* labelPredicate = lilv_new_uri(World(), LILV_NS_RDFS "label");
    bool found = false;
    LILV_FOREACH(nodes, i, presets)
    {
        const LilvNode* preset = lilv_nodes_get(presets, i);
        lilv_world_load_resource(World(), preset);
        LilvNodes* labels = lilv_world_find_nodes(World(), preset, labelPredicate, nullptr);
        if (labels && label == lilv_node_as_string(lilv_nodes_get_first(labels))) {
            LilvState* state = lilv_state_new_from_world(World(), Map(), preset);
            auto setPort = [](const char* symbol, void* self, const void* value, uint32_t, uint32_t) {
                static_cast<Lv2Host*>(self)->Set(symbol, *static_cast<const float*>(value));
            };
            lilv_state_restore(state, nullptr, setPort, this, 0, nullptr);
            lilv_state_free(state);
            found = true;
        }
        lilv_nodes_free(labels);
    }
    lilv_nodes_free(presets);
    lilv_node_free(labelPredicate);
    lilv_node_free(presetClass);
    return found;
}

std::string Lv2Host::UnitOf(const std::string& symbol)
{
    LilvNode* s = lilv_new_string(World(), symbol.c_str());
    LilvNode* unitPredicate = lilv_new_uri(World(), "http://lv2plug.in/ns/extensions/units#unit");
    LilvNodes* units = lilv_port_get_value(Plugin(), lilv_plugin_get_port_by_symbol(Plugin(), s), unitPredicate);
    const std::string unit = units ? lilv_node_as_uri(lilv_nodes_get_first(units)) : "";
    lilv_nodes_free(units);
    lilv_node_free(unitPredicate);
    lilv_node_free(s);
    return unit;
}

Lv2Host::Channels Lv2Host::Process(const Channels& in, uint32_t block, bool inPlace)
{
    Channels work = in;
    Channels out(2, std::vector<float>(in[0].size()));
    const char* const symbols[] = {"in_l", "in_r", "sc_l", "sc_r", "out_l", "out_r"};
    for (size_t done = 0; done < in[0].size(); done += block) {
        const uint32_t n = static_cast<uint32_t>(std::min<size_t>(block, in[0].size() - done));
        // Hosts connect the audio ports before every run().
        for (size_t c = 0; c < 4; ++c)
            lilv_instance_connect_port(Instance(instance), Index(symbols[c]),
                                       c < work.size() ? work[c].data() + done : nullptr);
        for (size_t c = 0; c < 2; ++c)
            lilv_instance_connect_port(Instance(instance), Index(symbols[4 + c]),
                                       (inPlace ? work[c].data() : out[c].data()) + done);
        lilv_instance_run(Instance(instance), n);
    }
    if (inPlace)
        out.assign(work.begin(), work.begin() + 2);
    return out;
}

void Lv2Host::RunEmpty(uint32_t nFrames)
{
    for (uint32_t p = 0; p < Index("input_atten"); ++p)
        lilv_instance_connect_port(Instance(instance), p, nullptr);
    lilv_instance_run(Instance(instance), nFrames);
}

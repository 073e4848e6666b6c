#include "Lv2Turtle.h"

#include "plug/TidepullIdentity.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const kPrefixes = "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                              "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                              "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                              "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
                              "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                              "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                              "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                              "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                              "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                              "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

// A decimal literal that reads back as the same float.
std::string Decimal(double v)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(static_cast<float>(v)));
    std::string s = text;
    if (s.find_first_of(".en") == std::string::npos)
        s += ".0";
    return s;
}

std::string Quoted(const char* text)
{
    std::string s = "\"";
    for (const char* c = text; *c; ++c) {
        if (*c == '"' || *c == '\\')
            s += '\\';
        s += *c;
    }
    return s + "\"";
}

std::string Uri()
{
    return std::string("<") + TidepullIdentity::kLv2Uri + ">";
}

std::string UiUri()
{
    return std::string("<") + TidepullIdentity::kLv2UiUri + ">";
}

// The ratio is no unit of the units extension: one of our own.
std::string UnitOf(const char* label)
{
    if (std::strcmp(label, "dB") == 0)
        return "units:db";
    if (std::strcmp(label, "Hz") == 0)
        return "units:hz";
    if (std::strcmp(label, "%") == 0)
        return "units:pc";
    if (std::strcmp(label, ":1") == 0)
        return std::string("<") + TidepullIdentity::kLv2Uri + "#ratio>";
    return "";
}

std::string AudioPort(int32_t index, bool input, const char* symbol, const char* name, bool sidechain)
{
    std::string s = "[\n        a lv2:AudioPort , ";
    s += input ? "lv2:InputPort" : "lv2:OutputPort";
    s += " ;\n        lv2:index " + std::to_string(index) + " ;\n        lv2:symbol " + Quoted(symbol) +
        " ;\n        lv2:name " + Quoted(name);
    if (sidechain)
        s += " ;\n        lv2:portProperty lv2:isSideChain , lv2:connectionOptional";
    return s + "\n    ]";
}

}   // namespace

std::string Lv2Turtle::SymbolOf(const char* name)
{
    std::string s;
    for (const char* c = name; *c; ++c) {
        const char ch = *c;
        if ((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9'))
            s += ch;
        else if (ch >= 'A' && ch <= 'Z')
            s += static_cast<char>(ch - 'A' + 'a');
        else if (!s.empty() && s.back() != '_')
            s += '_';
    }
    while (!s.empty() && s.back() == '_')
        s.pop_back();
    if (s.empty() || (s[0] >= '0' && s[0] <= '9'))
        s = "p" + s;
    return s;
}

std::string Lv2Turtle::PresetUri(const char* name)
{
    std::string slug = SymbolOf(name);
    for (char& c : slug)
        c = c == '_' ? '-' : c;
    return std::string("<") + TidepullIdentity::kLv2Uri + "/presets/" + slug + ">";
}

std::string Lv2Turtle::Manifest() const
{
    std::string s = kPrefixes;
    s += Uri() + "\n    a lv2:Plugin ;\n    lv2:binary <Tidepull.so> ;\n    rdfs:seeAlso <Tidepull.ttl> .\n";
    s += "\n" + UiUri() + "\n    a ui:X11UI ;\n    ui:binary <Tidepull_ui.so> ;\n    rdfs:seeAlso <Tidepull.ttl> .\n";
    for (const FactoryPresets::Preset& preset : FactoryPresets::all()) {
        s += "\n" + PresetUri(preset.name) + "\n    a pset:Preset ;\n    lv2:appliesTo " + Uri() +
            " ;\n    rdfs:label " + Quoted(preset.name) + " ;\n    rdfs:seeAlso <presets.ttl> .\n";
    }
    return s;
}

std::string Lv2Turtle::ControlPort(int32_t index, int32_t paramIdx) const
{
    const ParamRecord& p = *plug.ParamAt(paramIdx);
    std::string s = "[\n        a lv2:InputPort , lv2:ControlPort ;\n        lv2:index " + std::to_string(index) +
        " ;\n        lv2:symbol " + Quoted(SymbolOf(p.Name()).c_str()) + " ;\n        lv2:name " + Quoted(p.Name()) +
        " ;\n        lv2:default " + Decimal(p.Default()) + " ;\n        lv2:minimum " + Decimal(p.Min()) +
        " ;\n        lv2:maximum " + Decimal(p.Max());
    const std::string unit = UnitOf(p.Label());
    if (!unit.empty())
        s += " ;\n        units:unit " + unit;
    if (p.Kind() != kParamContinuous) {
        if (p.Min() == 0.0 && p.Max() == 1.0) {
            s += " ;\n        lv2:portProperty lv2:toggled";
        } else {
            // The steps as the host's VST 3 display names them.
            s += " ;\n        lv2:portProperty lv2:integer , lv2:enumeration";
            for (double v = p.Min(); v <= p.Max(); v += 1.0) {
                char text[ParamRecord::kTextSize];
                p.FormatValue(v, false, text, sizeof text);
                s += " ;\n        lv2:scalePoint [ rdfs:label " + Quoted(text) + " ; rdf:value " + Decimal(v) + " ]";
            }
        }
    }
    return s + "\n    ]";
}

std::string Lv2Turtle::Plugin() const
{
    using namespace TidepullIdentity;
    std::string s = kPrefixes;
    s += std::string("<") + kLv2Uri + "#ratio>\n    a units:Unit ;\n    rdfs:label \"ratio\" ;\n" +
        "    units:symbol \":1\" ;\n    units:render \"%.2f:1\" .\n\n";
    // The editor: a window in the host's, at a size of its own. Everything
    // but the parent is used where the host offers it.
    s += UiUri() + "\n    a ui:X11UI ;\n    lv2:requiredFeature ui:parent ;\n" +
        "    lv2:optionalFeature ui:resize , ui:touch , ui:idleInterface , ui:noUserResize , opts:options ,\n" +
        "        urid:map ;\n    lv2:extensionData ui:idleInterface , opts:interface ;\n" +
        "    opts:supportedOption ui:scaleFactor ;\n    ui:portNotification [\n        ui:plugin " + Uri() +
        " ;\n        lv2:symbol \"gain_reduction\" ;\n        ui:protocol ui:floatProtocol\n    ] .\n\n";
    s += Uri() + "\n    a lv2:Plugin , lv2:CompressorPlugin , doap:Project ;\n    doap:name " + Quoted(kProduct) +
        " ;\n    doap:license <https://spdx.org/licenses/" + kLicense + "> ;\n    doap:maintainer [\n" +
        "        foaf:name " + Quoted(kVendor) + " ;\n        foaf:homepage <" + kUrl + "> ;\n" +
        "        foaf:mbox <mailto:" + kEmail + ">\n    ] ;\n" + "    doap:release [ doap:revision " +
        Quoted(kVersion) + " ] ;\n";
    const int32_t minor = (kVersionWord >> 8) & 0xFF;
    const int32_t micro = kVersionWord & 0xFF;
    s += "    lv2:minorVersion " + std::to_string(minor) + " ;\n    lv2:microVersion " + std::to_string(micro) +
        " ;\n    rdfs:comment \"Stereo valve-style compressor with a saturation stage.\" ;\n" +
        "    lv2:optionalFeature lv2:hardRTCapable ;\n    ui:ui " + UiUri() + " ;\n    lv2:port ";

    std::string ports;
    auto add = [&ports](const std::string& port) { ports += (ports.empty() ? "" : " , ") + port; };
    const int32_t mainIn = plug.InputCount() - plug.SidechainChannels();
    const char* const sides[] = {"l", "r"};
    const char* const sideNames[] = {"Left", "Right"};
    for (int32_t c = 0; c < plug.InputCount(); ++c) {
        const bool sc = c >= mainIn;
        const int32_t k = (sc ? c - mainIn : c) & 1;
        add(AudioPort(c, true, (std::string(sc ? "sc_" : "in_") + sides[k]).c_str(),
                      (std::string(sc ? "Sidechain " : "In ") + sideNames[k]).c_str(), sc));
    }
    for (int32_t c = 0; c < plug.OutputCount(); ++c)
        add(AudioPort(plug.FirstOutputPort() + c, false, (std::string("out_") + sides[c & 1]).c_str(),
                      (std::string("Out ") + sideNames[c & 1]).c_str(), false));
    for (int32_t i = 0; i < plug.ParamCount(); ++i)
        add(ControlPort(plug.FirstParamPort() + i, i));
    add("[\n        a lv2:InputPort , lv2:ControlPort ;\n        lv2:index " + std::to_string(plug.EnabledPort()) +
        " ;\n        lv2:symbol \"enabled\" ;\n        lv2:name \"Enabled\" ;\n" +
        "        lv2:designation lv2:enabled ;\n        lv2:portProperty lv2:toggled ;\n" +
        "        lv2:default 1 ;\n        lv2:minimum 0 ;\n        lv2:maximum 1\n    ]");
    add("[\n        a lv2:OutputPort , lv2:ControlPort ;\n        lv2:index " + std::to_string(plug.ReductionPort()) +
        " ;\n        lv2:symbol \"gain_reduction\" ;\n        lv2:name \"Gain Reduction\" ;\n" +
        "        lv2:default 0.0 ;\n        lv2:minimum 0.0 ;\n        lv2:maximum " +
        Decimal(Lv2Plug::kMaxReductionDb) + " ;\n        units:unit units:db\n    ]");
    return s + ports + " .\n";
}

std::string Lv2Turtle::Presets(std::string& error) const
{
    const auto& titles = FactoryPresets::parameterTitles();
    std::string s = kPrefixes;
    for (const FactoryPresets::Preset& preset : FactoryPresets::all()) {
        s += PresetUri(preset.name) + "\n    a pset:Preset ;\n    lv2:appliesTo " + Uri() + " ;\n    rdfs:label " +
            Quoted(preset.name) + " ;\n    lv2:port ";
        for (size_t t = 0; t < titles.size(); ++t) {
            int32_t idx = 0;
            while (idx < plug.ParamCount() && std::strcmp(plug.ParamAt(idx)->Name(), titles[t]) != 0)
                ++idx;
            if (idx == plug.ParamCount()) {
                error = std::string("preset parameter \"") + titles[t] + "\" is not a parameter of the plug-in";
                return "";
            }
            s += std::string(t ? " , " : "") + "[ lv2:symbol " + Quoted(SymbolOf(titles[t]).c_str()) +
                " ; pset:value " + Decimal(preset.values[t]) + " ]";
        }
        s += " .\n\n";
    }
    return s;
}

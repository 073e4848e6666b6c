#include "ModuleInfoWriter.h"

#include "pluginterfaces/base/funknown.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace Steinberg;

namespace {
// The text of a fixed-size, possibly unterminated field.
std::string fieldText(const char8* field, size_t size)
{
    return std::string(field, strnlen(field, size));
}

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string boolText(bool value)
{
    return value ? "true" : "false";
}

std::vector<std::string> splitAtBars(const std::string& text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const size_t bar = text.find('|', start);
        const std::string part = text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (!part.empty())
            parts.push_back(part);
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    return parts;
}

struct Snapshot {
    double scale;
    std::string path;
};

// "<CID>_snapshot.png" is scale 1; "<CID>_snapshot_2.0x.png" scale 2.
std::vector<Snapshot> snapshotsOf(const std::string& cid, const std::vector<std::string>& files)
{
    std::vector<Snapshot> found;
    const std::string stem = cid + "_snapshot";
    const std::string suffix = ".png";
    for (const std::string& name : files) {
        if (name.size() < stem.size() + suffix.size() || name.compare(0, stem.size(), stem) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const std::string middle = name.substr(stem.size(), name.size() - stem.size() - suffix.size());
        double scale = 0.0;
        if (middle.empty()) {
            scale = 1.0;
        } else if (middle.size() > 2 && middle[0] == '_' && middle.back() == 'x') {
            const std::string number = middle.substr(1, middle.size() - 2);
            char* end = nullptr;
            scale = std::strtod(number.c_str(), &end);
            if (end != number.c_str() + number.size())
                scale = 0.0;
        }
        if (scale > 0.0)
            found.push_back(Snapshot{scale, std::string(ModuleInfoWriter::kSnapshotFolder) + "/" + name});
    }
    std::sort(found.begin(), found.end(), [](const Snapshot& a, const Snapshot& b) { return a.scale < b.scale; });
    return found;
}
}   // namespace

bool ModuleInfoWriter::write(IPluginFactory* factory, const std::string& moduleName, const std::string& moduleVersion,
                             const std::vector<std::string>& snapshotFiles, std::string& json, std::string& error) const
{
    if (!factory) {
        error = "the module has no factory";
        return false;
    }
    PFactoryInfo factoryInfo;
    if (factory->getFactoryInfo(&factoryInfo) != kResultOk) {
        error = "the factory refused getFactoryInfo";
        return false;
    }
    IPluginFactory2* factory2 = nullptr;
    factory->queryInterface(IPluginFactory2::iid, reinterpret_cast<void**>(&factory2));

    std::string out = "{\n";
    out += "  \"Name\": " + quoted(moduleName) + ",\n";
    out += "  \"Version\": " + quoted(moduleVersion) + ",\n";
    out += "  \"Factory Info\": {\n";
    out += "    \"Vendor\": " + quoted(fieldText(factoryInfo.vendor, sizeof factoryInfo.vendor)) + ",\n";
    out += "    \"URL\": " + quoted(fieldText(factoryInfo.url, sizeof factoryInfo.url)) + ",\n";
    out += "    \"E-Mail\": " + quoted(fieldText(factoryInfo.email, sizeof factoryInfo.email)) + ",\n";
    out += "    \"Flags\": {\n";
    out += "      \"Unicode\": " + boolText(factoryInfo.flags & PFactoryInfo::kUnicode) + ",\n";
    out += "      \"Classes Discardable\": " + boolText(factoryInfo.flags & PFactoryInfo::kClassesDiscardable) + ",\n";
    out +=
        "      \"Component Non Discardable\": " + boolText(factoryInfo.flags & PFactoryInfo::kComponentNonDiscardable) +
        "\n";
    out += "    }\n";
    out += "  },\n";
    out += "  \"Compatibility\": [],\n";
    out += "  \"Classes\": [";

    bool ok = true;
    const int32 count = factory->countClasses();
    for (int32 i = 0; i < count && ok; ++i) {
        PClassInfo2 info;
        if (factory2) {
            ok = factory2->getClassInfo2(i, &info) == kResultOk;
        } else {
            PClassInfo basic;
            ok = factory->getClassInfo(i, &basic) == kResultOk;
            if (ok) {
                std::memcpy(info.cid, basic.cid, sizeof(TUID));
                info.cardinality = basic.cardinality;
                std::memcpy(info.category, basic.category, sizeof info.category);
                std::memcpy(info.name, basic.name, sizeof info.name);
            }
        }
        if (!ok) {
            error = "the factory refused the information of class " + std::to_string(i);
            break;
        }
        const std::string cid = classIdText(info.cid);
        out += i == 0 ? "\n" : ",\n";
        out += "    {\n";
        out += "      \"CID\": " + quoted(cid) + ",\n";
        out += "      \"Category\": " + quoted(fieldText(info.category, sizeof info.category)) + ",\n";
        out += "      \"Name\": " + quoted(fieldText(info.name, sizeof info.name)) + ",\n";
        // Hosts read an empty class vendor as the factory's, and so does the
        // SDK's check of this file.
        std::string vendor = fieldText(info.vendor, sizeof info.vendor);
        if (vendor.empty())
            vendor = fieldText(factoryInfo.vendor, sizeof factoryInfo.vendor);
        out += "      \"Vendor\": " + quoted(vendor) + ",\n";
        out += "      \"Version\": " + quoted(fieldText(info.version, sizeof info.version)) + ",\n";
        out += "      \"SDKVersion\": " + quoted(fieldText(info.sdkVersion, sizeof info.sdkVersion)) + ",\n";
        out += "      \"Sub Categories\": [";
        const std::vector<std::string> subs = splitAtBars(fieldText(info.subCategories, sizeof info.subCategories));
        for (size_t s = 0; s < subs.size(); ++s)
            out += (s == 0 ? "" : ", ") + quoted(subs[s]);
        out += "],\n";
        out += "      \"Class Flags\": " + std::to_string(info.classFlags) + ",\n";
        out += "      \"Cardinality\": " + std::to_string(info.cardinality) + ",\n";
        out += "      \"Snapshots\": [";
        const std::vector<Snapshot> snapshots = snapshotsOf(cid, snapshotFiles);
        for (size_t s = 0; s < snapshots.size(); ++s) {
            char scale[32];
            std::snprintf(scale, sizeof scale, "%.1f", snapshots[s].scale);
            out += std::string(s == 0 ? "\n" : ",\n") + "        {\n";
            out += "          \"Scale Factor\": " + std::string(scale) + ",\n";
            out += "          \"Path\": " + quoted(snapshots[s].path) + "\n";
            out += "        }";
        }
        out += snapshots.empty() ? "]\n" : "\n      ]\n";
        out += "    }";
    }
    if (factory2)
        factory2->release();
    if (!ok)
        return false;
    out += count > 0 ? "\n  ]\n" : "]\n";
    out += "}\n";
    json = out;
    return true;
}

std::string ModuleInfoWriter::classIdText(const TUID cid)
{
    // The SDK's own text: GUID order where it is COM-compatible (Windows),
    // the bytes in order elsewhere.
    char8 text[33] = {};
    FUID::fromTUID(cid).toString(text);
    return text;
}

#include "ParameterCatalog.h"

#include "VstText.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>

using vsthost::VstText;

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}
}   // namespace

bool ParameterCatalog::read(IEditController* controller, std::string& error)
{
    controller_ = controller;
    entries_.clear();
    if (!controller) {
        error = "the plug-in has no edit controller";
        return false;
    }
    const int32 count = controller->getParameterCount();
    for (int32 i = 0; i < count; ++i) {
        Entry entry{};
        if (controller->getParameterInfo(i, entry.info) != kResultOk) {
            error =
                "the plug-in refused getParameterInfo for index " + std::to_string(i) + " of " + std::to_string(count);
            return false;
        }
        entry.title = VstText::toUtf8(entry.info.title, 128);
        entry.units = VstText::toUtf8(entry.info.units, 128);
        entries_.push_back(entry);
    }
    return true;
}

bool ParameterCatalog::isPluginParameter(const Entry& entry)
{
    return (entry.info.flags & (ParameterInfo::kIsBypass | ParameterInfo::kIsProgramChange)) == 0;
}

const ParameterCatalog::Entry* ParameterCatalog::findPluginParameter(const std::string& title) const
{
    for (const Entry& entry : entries_)
        if (isPluginParameter(entry) && entry.title == title)
            return &entry;
    const Entry* match = nullptr;
    for (const Entry& entry : entries_) {
        if (isPluginParameter(entry) && sameIgnoringCase(entry.title, title)) {
            if (match)
                return nullptr;   // ambiguous
            match = &entry;
        }
    }
    return match;
}

const ParameterCatalog::Entry* ParameterCatalog::hostBypass() const
{
    for (const Entry& entry : entries_)
        if (entry.info.flags & ParameterInfo::kIsBypass)
            return &entry;
    return nullptr;
}

std::string ParameterCatalog::plainText(ParamID id, double normalized) const
{
    return format("%g", controller_->normalizedParamToPlain(id, normalized));
}

std::string ParameterCatalog::describePluginParameters() const
{
    std::string text;
    for (const Entry& entry : entries_) {
        if (!isPluginParameter(entry))
            continue;
        text += "  \"" + entry.title + "\"";
        if (!entry.units.empty())
            text += " [" + entry.units + "]";
        text += " " + plainText(entry.info.id, 0.0) + " to " + plainText(entry.info.id, 1.0);
        if (entry.info.stepCount > 0)
            text += " in " + std::to_string(entry.info.stepCount) + " steps";
        text += "\n";
    }
    return text;
}

std::string ParameterCatalog::listing() const
{
    char line[512];
    std::string text = std::to_string(entries_.size()) + " parameters\n";
    std::snprintf(line, sizeof line, "%10s  %-10s  %-20s  %-6s  %5s  %-17s  %-8s  %-10s  %s\n", "ID", "hex", "title",
                  "units", "steps", "range", "default", "display", "flags");
    text += line;
    for (const Entry& entry : entries_) {
        const ParameterInfo& info = entry.info;
        String128 display{};
        std::string shown = "(none)";
        if (controller_->getParamStringByValue(info.id, info.defaultNormalizedValue, display) == kResultOk)
            shown = "\"" + VstText::toUtf8(display, 128) + "\"";
        const std::string range = plainText(info.id, 0.0) + " to " + plainText(info.id, 1.0);
        std::snprintf(line, sizeof line, "%10" PRIu32 "  0x%08" PRIX32 "  %-20s  %-6s  %5d  %-17s  %8.6f  %-10s  %s\n",
                      static_cast<uint32_t>(info.id), static_cast<uint32_t>(info.id), entry.title.c_str(),
                      ("\"" + entry.units + "\"").c_str(), static_cast<int>(info.stepCount), range.c_str(),
                      info.defaultNormalizedValue, shown.c_str(), flagsText(info.flags).c_str());
        text += line;
    }
    return text;
}

std::string ParameterCatalog::flagsText(int32 flags)
{
    static const struct {
        int32 bit;
        const char* name;
    } names[] = {
        {ParameterInfo::kCanAutomate, "automate"},     {ParameterInfo::kIsReadOnly, "read-only"},
        {ParameterInfo::kIsWrapAround, "wrap-around"}, {ParameterInfo::kIsList, "list"},
        {ParameterInfo::kIsHidden, "hidden"},          {ParameterInfo::kIsProgramChange, "program-change"},
        {ParameterInfo::kIsBypass, "bypass"},
    };
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%" PRIX32, static_cast<uint32_t>(flags));
    std::string text = hex;
    std::string decoded;
    int32 rest = flags;
    for (const auto& n : names) {
        if (flags & n.bit) {
            decoded += (decoded.empty() ? "" : "|") + std::string(n.name);
            rest &= ~n.bit;
        }
    }
    if (rest) {
        std::snprintf(hex, sizeof hex, "0x%" PRIX32, static_cast<uint32_t>(rest));
        decoded += (decoded.empty() ? "" : "|") + std::string("other ") + hex;
    }
    return decoded.empty() ? text : text + " (" + decoded + ")";
}

#include "ParameterSettings.h"

#include "FormerTitles.h"
#include "ParameterCatalog.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace Steinberg;

namespace {
std::string numberText(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string withParameterList(const std::string& message, const ParameterCatalog& catalog)
{
    std::string text = message + "; its parameters are:\n" + catalog.describePluginParameters();
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}
}   // namespace

bool ParameterSettings::split(const std::string& text, Setting& setting)
{
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == text.size())
        return false;
    setting = Setting(text.substr(0, eq), text.substr(eq + 1));
    return true;
}

bool ParameterSettings::parsePlain(const std::string& text, double& value)
{
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == '\0' && errno != ERANGE && std::isfinite(value);
}

bool ParameterSettings::resolve(const std::vector<Setting>& settings, const ParameterCatalog& catalog,
                                Vst::IEditController* controller, std::string& error)
{
    changes_.clear();
    notes_.clear();
    renames_.clear();
    for (const Setting& setting : settings) {
        const ParameterCatalog::Entry* entry = catalog.findPluginParameter(setting.first);
        const std::string current = entry ? std::string() : FormerTitles::currentTitleOf(setting.first);
        if (!current.empty() && (entry = catalog.findPluginParameter(current)))
            renames_.push_back("the parameter \"" + setting.first + "\" is now called \"" + entry->title + "\"");
        if (!entry) {
            error = withParameterList("the plug-in has no parameter \"" + setting.first + "\"", catalog);
            return false;
        }
        double plain = 0.0;
        if (!parsePlain(setting.second, plain)) {
            error = withParameterList("cannot read \"" + setting.second + "\" as a number for \"" + entry->title + "\"",
                                      catalog);
            return false;
        }
        const Vst::ParamID id = entry->info.id;
        const double low = controller->normalizedParamToPlain(id, 0.0);
        const double high = controller->normalizedParamToPlain(id, 1.0);
        if (plain < std::fmin(low, high) || plain > std::fmax(low, high))
            notes_.push_back(entry->title + "=" + setting.second + " lies outside " + numberText(low) + " to " +
                             numberText(high));
        Change change;
        change.id = id;
        change.normalized = controller->plainParamToNormalized(id, plain);
        change.title = entry->title;
        change.plain = plain;
        changes_.push_back(change);
    }
    return true;
}

std::string ParameterSettings::summary(Vst::IEditController* plugin) const
{
    std::string text;
    for (const Change& change : changes_) {
        const double value =
            plugin ? plugin->normalizedParamToPlain(change.id, plugin->getParamNormalized(change.id)) : change.plain;
        text += change.title + " = " + numberText(value) + ", ";
    }
    return text;
}

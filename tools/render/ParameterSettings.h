#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <string>
#include <utility>
#include <vector>

class ParameterCatalog;

// The --set NAME=VALUE options of the command-line tools: NAME is a parameter
// title as the host shows it (exact first, then ignoring letter case), VALUE a
// number in the units the host shows. Values outside the parameter's range
// are kept with a note; each tool decides whether to refuse them.
class ParameterSettings {
public:
    typedef std::pair<std::string, std::string> Setting;   // NAME, VALUE

    struct Change {
        Steinberg::Vst::ParamID id = 0;
        Steinberg::Vst::ParamValue normalized = 0.0;
        std::string title;
        double plain = 0.0;
    };

    // Splits "NAME=VALUE" at its first '=' (titles hold none); false unless
    // both parts are non-empty.
    static bool split(const std::string& text, Setting& setting);

    // The changes for `settings` in order. On an unknown name or a value that
    // is not a number, false with a message that lists the parameters.
    bool resolve(const std::vector<Setting>& settings, const ParameterCatalog& catalog,
                 Steinberg::Vst::IEditController* controller, std::string& error);

    const std::vector<Change>& changes() const { return changes_; }
    // "NAME=VALUE lies outside LOW to HIGH", one per value.
    const std::vector<std::string>& notes() const { return notes_; }
    // One per NAME that is a former title: which title took its place.
    const std::vector<std::string>& renames() const { return renames_; }
    // "Title = value, " for each change: the value given, or with `plugin`
    // the value it holds now (what it really took, limited or stepped).
    std::string summary(Steinberg::Vst::IEditController* plugin = nullptr) const;

private:
    static bool parsePlain(const std::string& text, double& value);

    std::vector<Change> changes_;
    std::vector<std::string> notes_;
    std::vector<std::string> renames_;
};

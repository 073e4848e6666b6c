#include "PlugHarness.h"

#include "AudioClip.h"
#include "ParameterCatalog.h"
#include "ParameterChanges.h"
#include "Renderer.h"
#include "VstText.h"

#include "plug/Tidepull.h"

#include <cstdio>

using vsthost::ParameterChanges;
using vsthost::VstText;

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
constexpr int kMaxBlock = 512;
// The control smoothers move 1 % of the way a step; a few thousand steps
// bring them to rest. A second, as tidepull-render's lead-in.
constexpr double kSettleSeconds = 1.0;
}   // namespace

PlugHarness::PlugHarness(const char* programName) : programName_(programName)
{
}

bool PlugHarness::create(const std::vector<ParameterSettings::Setting>& sets, std::string& error)
{
    context_ = owned(new HostContext(programName_));
    handler_ = owned(new ComponentHandler);

    // The instance takes the one reference; `plug_` stays valid as long as it.
    Tidepull* plug = new Tidepull();
    IComponent* component = nullptr;
    plug->queryInterface(IComponent::iid, reinterpret_cast<void**>(&component));
    plug->release();
    if (!instance_.adopt(component, context_, handler_, error))
        return false;
    plug_ = plug;

    ParameterCatalog catalog;
    if (!catalog.read(instance_.controller(), error) ||
        !settings_.resolve(sets, catalog, instance_.controller(), error))
        return false;
    for (const std::string& rename : settings_.renames())
        std::fprintf(stderr, "%s: note: %s\n", programName_, rename.c_str());
    for (const std::string& note : settings_.notes())
        std::fprintf(stderr, "%s: note: %s; the plug-in limits it\n", programName_, note.c_str());
    return true;
}

bool PlugHarness::start(double sampleRate, std::string& error)
{
    sampleRate_ = sampleRate;
    return instance_.arrangeBuses(false, error) && instance_.setupProcessing(sampleRate, kMaxBlock, 32, error) &&
        instance_.activate(error) && instance_.startProcessing(error) && applySettings(error);
}

bool PlugHarness::render(const AudioClip& input, AudioClip& output, int blockSize,
                         const std::function<void()>& afterBlock, std::string& error)
{
    Renderer renderer(instance_, Renderer::Settings{blockSize < kMaxBlock ? blockSize : kMaxBlock, 32});
    std::function<void(double)> progress;
    if (afterBlock)
        progress = [&afterBlock](double) { afterBlock(); };
    return renderer.render(input, nullptr, output, progress, error);
}

bool PlugHarness::settle(std::string& error)
{
    const AudioClip silence(2, static_cast<long>(sampleRate_ * kSettleSeconds), sampleRate_);
    AudioClip ignored;
    return render(silence, ignored, kMaxBlock, nullptr, error);
}

void PlugHarness::stop()
{
    instance_.stopProcessing();
    instance_.deactivate();
}

std::string PlugHarness::settingsText() const
{
    const std::string text = settings_.summary();
    return text.empty() ? "defaults" : text.substr(0, text.size() - 2);
}

bool PlugHarness::applySettings(std::string& error)
{
    ParameterChanges changes(static_cast<int>(settings_.changes().size()) + 1, 1);
    for (const ParameterSettings::Change& change : settings_.changes()) {
        // The controller side follows, as it does for a DAW's automation.
        instance_.controller()->setParamNormalized(change.id, change.normalized);
        if (!changes.add(change.id, 0, change.normalized)) {
            error = "cannot queue the change of \"" + change.title + "\"";
            return false;
        }
    }
    ProcessData data;
    data.processMode = kOffline;
    data.symbolicSampleSize = kSample32;
    data.numSamples = 0;
    data.inputParameterChanges = &changes;
    const tresult result = instance_.processor()->process(data);
    if (result != kResultOk) {
        error = "the plug-in refused the parameter changes (" + VstText::resultName(result) + ")";
        return false;
    }
    return true;
}

#include "SameBitsHost.h"

#include "AudioClip.h"
#include "ComponentHandler.h"
#include "HostContext.h"
#include "ParameterCatalog.h"
#include "ParameterSettings.h"
#include "PluginInstance.h"
#include "Renderer.h"

#include "pluginterfaces/base/smartpointer.h"

using namespace Steinberg;

namespace {

AudioClip Clip(const std::vector<double>& l, const std::vector<double>& r, double rate)
{
    AudioClip clip(2, static_cast<long>(l.size()), rate);
    clip.channel(0) = l;
    clip.channel(1) = r;
    return clip;
}

}   // namespace

bool RenderThroughHost(Vst::IComponent* component, const std::vector<std::pair<std::string, std::string>>& settings,
                       double rate, int precision, const std::array<const std::vector<double>*, 4>& input,
                       std::vector<double>& outL, std::vector<double>& outR, const std::function<void()>& whileAlive,
                       std::string& error)
{
    constexpr int kBlock = 512;
    const IPtr<HostContext> context = owned(new HostContext("tidepull_same_bits"));
    const IPtr<ComponentHandler> handler = owned(new ComponentHandler);
    PluginInstance instance;
    if (!instance.adopt(component, context, handler, error))
        return false;
    ParameterCatalog catalog;
    ParameterSettings resolved;
    if (!catalog.read(instance.controller(), error) ||
        !resolved.resolve(settings, catalog, instance.controller(), error))
        return false;
    if (!instance.arrangeBuses(true, error) || !instance.setupProcessing(rate, kBlock, precision, error) ||
        !instance.activate(error) || !instance.startProcessing(error))
        return false;

    const AudioClip main = Clip(*input[0], *input[1], rate);
    const AudioClip sidechain = Clip(*input[2], *input[3], rate);
    Renderer renderer(instance, Renderer::Settings{kBlock, precision, false});
    for (const ParameterSettings::Change& change : resolved.changes())
        renderer.addInitialChange(change.id, change.normalized);
    AudioClip output;
    if (!renderer.render(main, &sidechain, output, nullptr, error))
        return false;
    outL = output.channel(0);
    outR = output.channel(1);
    whileAlive();
    return true;
}

#pragma once

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace Steinberg {
namespace Vst {
class IComponent;
}
}   // namespace Steinberg

// The render tool's host pieces, kept in a unit of their own: they and the
// plug's headers each name a ByteStream of their own.
//
// Renders main and sidechain input (left, right, sidechain left and right)
// through `component`, a plug made in this process, whose reference the
// host takes: the settings (title, value in the host's units) as changes at
// the first sample, the sidechain bus on. `whileAlive` runs after the render,
// before the instance goes.
bool RenderThroughHost(Steinberg::Vst::IComponent* component,
                       const std::vector<std::pair<std::string, std::string>>& settings, double rate, int precision,
                       const std::array<const std::vector<double>*, 4>& input, std::vector<double>& outL,
                       std::vector<double>& outR, const std::function<void()>& whileAlive, std::string& error);

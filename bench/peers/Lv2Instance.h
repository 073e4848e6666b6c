#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One LV2 plug-in instance run the way a host runs it: found through lilv by
// its URI, every control input at its default unless set, stereo audio in and
// out on the plug-in's first two audio ports of each direction (any others
// silent), optional control outputs connected to values of their own,
// optional atom ports (editor messages) left unconnected.
class Lv2Instance {
public:
    // Controls are set by port symbol before activation. With a bundle
    // folder, the plug-in is found there alone instead of among the installed.
    Lv2Instance(const std::string& uri, double sampleRate, uint32_t maxBlock,
                const std::vector<std::pair<std::string, float>>& controls, const std::string& bundle = "");
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    // Empty when the plug-in is installed and instantiated.
    const std::string& Error() const { return error; }
    // The plug-in's own name (doap:name).
    const std::string& Name() const { return name; }

    // Changes a control input between blocks, as automation does.
    void SetControl(const std::string& symbol, float value);
    // One block: n frames of in[0], in[1] into out[0], out[1].
    void Run(const float* const* in, float* const* out, uint32_t n);

private:
    struct Impl;
    Impl* impl;
    std::string error;
    std::string name;
};

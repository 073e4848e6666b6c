#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The built Tidepull.lv2 hosted through lilv as lv2apply hosts it: no
// features, controls by symbol, presets through lilv's state.
class Lv2Host {
public:
    // Audio as channels of floats: in_l, in_r, sc_l, sc_r (the sidechain may be absent).
    using Channels = std::vector<std::vector<float>>;

    explicit Lv2Host(double sampleRate);
    ~Lv2Host();
    Lv2Host(const Lv2Host&) = delete;
    Lv2Host& operator=(const Lv2Host&) = delete;

    bool Instantiated() const { return instance != nullptr; }
    void Set(const std::string& symbol, float value);
    float Get(const std::string& symbol) const;
    // Sets the ports as the bundle's preset of this label does; false if none.
    bool ApplyPreset(const std::string& label);
    // The units:unit of a port, as a URI ("" for none).
    static std::string UnitOf(const std::string& symbol);

    // Runs the input through in blocks of at most block frames; inPlace hands
    // the main input's buffers as the outputs.
    Channels Process(const Channels& in, uint32_t block, bool inPlace = false);
    // One run() with every audio port unconnected.
    void RunEmpty(uint32_t nFrames);

private:
    uint32_t Index(const std::string& symbol) const;
    void* instance = nullptr;
    std::vector<float> controls;
};

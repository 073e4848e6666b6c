#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LilvInstanceImpl;

// The built Tidepull.lv2 hosted through lilv as lv2apply hosts it: no
// features, controls by symbol, presets through lilv's state.
class Lv2Host {
public:
    // in_l, in_r, then optionally sc_l, sc_r (left unconnected when absent).
    using Channels = std::vector<std::vector<float>>;

    explicit Lv2Host(double sampleRate);
    ~Lv2Host();
    Lv2Host(const Lv2Host&) = delete;
    Lv2Host& operator=(const Lv2Host&) = delete;

    bool Instantiated() const { return instance != nullptr; }
    void Set(const std::string& symbol, float value) { controls.at(Index(symbol)) = value; }
    float Get(const std::string& symbol) const { return controls.at(Index(symbol)); }
    // The ports as the bundle's preset of this label sets them; false for none.
    bool ApplyPreset(const std::string& label);
    // A port's units:unit ("" for none).
    static std::string UnitOf(const std::string& symbol);
    static uint32_t PortIndex(const std::string& symbol) { return Index(symbol); }
    // "" for no such port.
    static std::string SymbolAt(uint32_t index);
    // The file of the plug-in's UI of class X11UI as the Turtle names it, and
    // that UI's URI; empty when there is none.
    static std::string X11UiBinary(std::string& uiUri);

    // The input in blocks of at most block frames; inPlace hands the main
    // input's buffers as the outputs.
    Channels Process(const Channels& in, uint32_t block, bool inPlace = false);
    // One run() with every audio port unconnected.
    void RunEmpty(uint32_t nFrames);

private:
    static uint32_t Index(const std::string& symbol);
    LilvInstanceImpl* instance = nullptr;
    std::vector<float> controls;
};

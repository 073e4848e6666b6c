#pragma once

#include "core/HostBypass.h"
#include "core/PlugCore.h"

#include <cstdint>
#include <vector>

// The LV2 adaptor: the plug core behind LV2's ports. The ports, in index
// order: the audio inputs (main, then sidechain), the audio outputs, one
// control input per parameter, the host bypass (lv2:enabled) and the gain
// reduction in dB. The DSP needs no host feature.
class Lv2Plug : public PlugCore {
public:
    // Pieces of a run() are never longer than this; the buffers are sized for it.
    static constexpr int32_t kPieceFrames = 4096;
    // What the gain-reduction port can show, in dB.
    static constexpr double kMaxReductionDb = 60.0;
    // The DSP module links no editor code (the UI is a module of its own),
    // and its gain-reduction port always carries the meter.
    static constexpr bool kBuildsEditor = false;
    static constexpr bool kReportsMeter = true;

    // The meter (a share of full gain reduction, 0 to 1) as the port's dB,
    // and back as the UI reads it.
    static double ReductionDb(double share);
    static double ReductionShare(double db);

    Lv2Plug(int32_t nParams, const char* channelIOString, int32_t nPresets, const char* effectName,
            const char* productName, const char* makerName, int32_t version, int32_t uniqueId, int32_t makerId);

    // Port indices.
    int32_t SidechainChannels() const { return sidechainChannels; }
    int32_t FirstOutputPort() const { return InputCount(); }
    int32_t FirstParamPort() const { return InputCount() + OutputCount(); }
    int32_t EnabledPort() const { return FirstParamPort() + ParamCount(); }
    int32_t ReductionPort() const { return EnabledPort() + 1; }
    int32_t PortCount() const { return ReductionPort() + 1; }

    // instantiate: false for a rate the plug can not run at.
    bool Start(double sampleRate);
    void Activate();
    // Only stores the pointer; an index out of range is ignored.
    void ConnectPort(uint32_t port, void* data);
    void Run(uint32_t nFrames);

    // Core operations a host would serve; LV2's DSP side has none of them.
    int32_t GetHostSamplePos() override { return 0; }
    double GetHostTempo() override { return 0.0; }
    void GetHostTimeSig(int32_t* numerator, int32_t* denominator) override;
    void GetHostTimeInfo(TransportInfo* info) override;
    void ResizeEditor(int32_t, int32_t) override {}
    bool EmitMidiEvent(const MidiEvent&) override { return false; }

protected:
    // LV2 has no tail to report; the plug's answer is not asked for.
    virtual double TailSeconds() const { return 0.0; }
    // As in the VST 3 adaptor: true through the first block after a start,
    // when the plug's own switches take effect at once.
    bool FreshStart() const { return hostBypass.FreshStart(); }
    void EndFreshStart() { hostBypass.EndFreshStart(); }
    // The plug's meter as a share of full gain reduction (0 none, 1 all).
    virtual double MeterReduction() const { return 0.0; }
    // False while the plug does not listen to its sidechain: hosts connect
    // those ports to silence anyway, and copying them in is half the input.
    virtual bool ReadsSidechain() const { return true; }

private:
    // Control ports whose value changed since the last run() apply at its start.
    void ApplyControls();
    void RunPiece(uint32_t offset, int32_t nFrames);
    void WriteReduction();

    int32_t sidechainChannels = 2;
    std::vector<float*> audio;   // inputs, then outputs
    std::vector<const float*> controls;   // parameters, then enabled
    std::vector<float> applied;   // the control values in force
    float* reduction = nullptr;
    HostBypass hostBypass;
};

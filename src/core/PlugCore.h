#pragma once

#include "core/ByteStream.h"
#include "core/ChannelConfig.h"
#include "core/EditorLink.h"
#include "core/InputPort.h"
#include "core/LatencyDelay.h"
#include "core/MidiEvent.h"
#include "core/OutputPort.h"
#include "core/ParamRecord.h"
#include "core/PresetSlot.h"
#include "core/StateChunk.h"
#include "core/TransportInfo.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

enum class PortDirection { kInputs, kOutputs };

// The host-independent plug object: parameters, presets, channel ports and
// buffers, processing settings, the attached editor, and the one recursive
// mutex that serialises processing, state changes and editor edits.
class PlugCore {
public:
    static constexpr int kNameSize = 128;

    PlugCore(int32_t nParams, const char* channelIOString, int32_t nPresets, const char* effectName,
             const char* productName, const char* makerName, int32_t version, int32_t uniqueId, int32_t makerId,
             int32_t apiCode);
    virtual ~PlugCore();

    PlugCore(const PlugCore&) = delete;
    PlugCore& operator=(const PlugCore&) = delete;

    // Operations a plug or an adaptor overrides.
    virtual void OnReset();
    virtual void ParamChanged(int32_t paramIdx);
    virtual void ProcessBlock(double** inputs, double** outputs, int32_t nFrames);
    virtual void OnEditorOpen() {}
    virtual void OnEditorClose() {}
    virtual void ActivationChanged(bool active);
    virtual void HandleMidiEvent(const MidiEvent& event) { EmitMidiEvent(event); }
    virtual bool SerializeParams(StateChunk& chunk);
    virtual int32_t UnserializeParams(const StateChunk& chunk, int32_t startPos);
    virtual void HostReady() {}
    virtual void PopupParamContextMenu(int32_t /*paramIdx*/, int32_t /*x*/, int32_t /*y*/) {}
    virtual void SetParameterFromEditor(int32_t paramIdx, double normalized);
    // A value from the host (automation, its controller, a control port):
    // under the mutex, to the record, the editor's controls and the engine.
    void SetParameterFromHost(int32_t paramIdx, double normalized);
    // The adaptor tells the host. These do nothing here so that an editor
    // closing while the plug is torn down, when only this part is left, ends
    // its open edit harmlessly.
    virtual void BeginParamEdit(int32_t /*paramIdx*/) {}
    virtual void PerformParamEdit(int32_t /*paramIdx*/, double /*normalized*/) {}
    virtual void EndParamEdit(int32_t /*paramIdx*/) {}
    virtual bool IsOfflineRender() { return false; }
    virtual int32_t GetHostSamplePos() = 0;
    virtual double GetHostTempo() = 0;
    virtual void GetHostTimeSig(int32_t* numerator, int32_t* denominator) = 0;
    virtual void GetHostTimeInfo(TransportInfo* info) = 0;
    virtual int32_t HostKind() { return hostCode; }
    virtual int32_t ApiKind() { return apiCode; }
    virtual void ResizeEditor(int32_t width, int32_t height) = 0;
    virtual void AttachEditor(EditorLink* editor);
    virtual void SetLatencySamples(int32_t samples);
    virtual bool EmitMidiEvent(const MidiEvent& event) = 0;
    virtual void RefreshEditorControls();
    virtual void PresetRestored() {}
    virtual void SetMaxBlockSize(int32_t n);

    // Parameters.
    int32_t ParamCount() const { return static_cast<int32_t>(params.size()); }
    // Inline: the plug reads parameters from its block.
    ParamRecord* ParamAt(int32_t idx) const
    {
        if (idx < 0 || idx >= ParamCount())
            return nullptr;
        return params[static_cast<size_t>(idx)].get();
    }

    // Channels and buffers; the adaptor calls these with the mutex held.
    bool LegalIO(int32_t nIn, int32_t nOut) const;
    void MarkChannelsConnected(PortDirection dir, int32_t idx, int32_t n, bool connected);
    void BindInputBuffers(int32_t idx, int32_t n, float** hostBuffers, int32_t nFrames);
    void BindInputBuffers(int32_t idx, int32_t n, double** hostBuffers, int32_t nFrames);
    void BindOutputBuffers(int32_t idx, int32_t n, float** hostBuffers);
    void BindOutputBuffers(int32_t idx, int32_t n, double** hostBuffers);
    // The whole binding of one block in one pass over ports 0 to n - 1 (at
    // most 64), with the outcome of MarkChannelsConnected and the Bind
    // operations: port i is connected when bit i of connected is set, and a
    // connected port takes host channel channels[i] (none: an input reads
    // silence, an output goes to scratch). Unconnected ports' entries are
    // not read.
    static constexpr int32_t kMaxBoundPorts = 64;
    // The ports below k, as a mask for the Bind*Ports operations.
    static uint64_t PortsBelow(int64_t k)
    {
        if (k <= 0)
            return 0;
        return k >= 64 ? ~uint64_t{0} : (uint64_t{1} << k) - 1;
    }
    void BindInputPorts(int32_t n, uint64_t connected, float* const* channels, int32_t nFrames);
    void BindInputPorts(int32_t n, uint64_t connected, double* const* channels, int32_t nFrames);
    void BindOutputPorts(int32_t n, uint64_t connected, float* const* channels);
    void BindOutputPorts(int32_t n, uint64_t connected, double* const* channels);
    void ConvertOutputsTo32(int32_t nFrames);
    void ClearScratchBuffers();
    // Frames [from, from + nFrames) of the bound buffers.
    void PassThroughBlock(int32_t nFrames, int32_t from = 0);
    int32_t InputCount() const { return static_cast<int32_t>(inputPtrs.size()); }
    int32_t OutputCount() const { return static_cast<int32_t>(outputPtrs.size()); }
    double** InputPointers() { return inputPtrs.data(); }
    double** OutputPointers() { return outputPtrs.data(); }
    const InputPort& InputPortAt(int32_t i) const { return *inputPorts[static_cast<size_t>(i)]; }
    const OutputPort& OutputPortAt(int32_t i) const { return *outputPorts[static_cast<size_t>(i)]; }
    int32_t ChannelConfigCount() const { return static_cast<int32_t>(channelConfigs.size()); }
    const ChannelConfig& ChannelConfigAt(int32_t i) const { return *channelConfigs[static_cast<size_t>(i)]; }

    // State and presets.
    bool SaveState(ByteStream& stream);
    bool LoadState(ByteStream& stream);
    bool SelectPreset(int32_t idx);
    void CaptureDefaultPresets(const char* name, int32_t n);
    int32_t PresetCount() const { return static_cast<int32_t>(presets.size()); }
    const PresetSlot* PresetAt(int32_t idx) const;
    int32_t CurrentPreset() const { return currentPreset; }

    // The plug mutex, recursive: state restore re-enters it.
    std::recursive_mutex& Mutex() { return mutex; }

    // Settings.
    const char* EffectName() const { return effectName; }
    const char* ProductName() const { return productName; }
    const char* MakerName() const { return makerName; }
    int32_t UniqueId() const { return uniqueId; }
    int32_t MakerId() const { return makerId; }
    int32_t Version() const { return version; }
    int32_t HostVersion() const { return hostVersion; }
    void SetHost(int32_t code, int32_t hostVer)
    {
        hostCode = code;
        hostVersion = hostVer;
    }
    bool IsInstrument() const { return instrument; }
    bool HandlesMidi() const { return handlesMidi; }
    // Whoever reads the bound inputs then reads NaN and infinite samples as
    // silence itself.
    bool InputsUnchecked() const { return inputsUnchecked; }
    bool IsBypassed() const { return bypassed.load(std::memory_order_relaxed); }
    void SetBypassed(bool on) { bypassed.store(on, std::memory_order_relaxed); }
    double SampleRate() const { return sampleRate; }
    void SetSampleRate(double rate) { sampleRate = rate; }
    int32_t MaxBlockSize() const { return maxBlockSize; }
    int32_t LatencySamples() const { return latency; }
    int32_t TailSamples() const { return tailLength; }
    LatencyDelay* GetLatencyDelay() const { return latencyDelay.get(); }
    EditorLink* GetEditor() const { return editor.get(); }

protected:
    void CreateLatencyDelay();
    void SetInputBusName(int32_t idx, const char* name);
    void SetOutputBusName(int32_t idx, const char* name);
    int32_t InputBusNameCount() const { return static_cast<int32_t>(inputBusNames.size()); }
    const char* InputBusName(int32_t idx) const;
    const char* OutputBusName(int32_t idx) const;
    std::vector<const char*>& GroupNames() { return groupNames; }

private:
    // One connected input port bound to a host channel (none: silence).
    void ConvertInto(InputPort& port, const float* src, int32_t nFrames);
    void PointAt(InputPort& port, double* src, int32_t nFrames);
    // An unconnected one.
    void ReadSilence(InputPort& port);
    void PortRange(int32_t idx, int32_t n, int32_t count, int32_t* begin, int32_t* end) const;

    std::vector<std::unique_ptr<ChannelConfig>> channelConfigs;
    std::recursive_mutex mutex;
    char effectName[kNameSize];
    char productName[kNameSize];
    char makerName[kNameSize];
    int32_t uniqueId;
    int32_t makerId;
    int32_t version;
    int32_t apiCode;
    int32_t hostCode = -1;
    int32_t hostVersion = 0;
    bool instrument = false;
    bool handlesMidi = false;
    // Some input port reads the host's buffer itself, unchecked for samples
    // that are not finite (converted ones are checked as they are copied).
    bool inputsUnchecked = false;
    std::atomic<bool> bypassed{false};
    int32_t currentPreset = 0;
    double sampleRate = 44100.0;
    int32_t maxBlockSize = 0;
    int32_t latency = 0;
    int32_t tailLength = 0;
    std::unique_ptr<LatencyDelay> latencyDelay;
    std::vector<const char*> groupNames;
    std::unique_ptr<EditorLink> editor;
    std::vector<std::unique_ptr<ParamRecord>> params;
    std::vector<std::unique_ptr<PresetSlot>> presets;
    std::vector<double*> inputPtrs;
    std::vector<double*> outputPtrs;
    std::vector<std::unique_ptr<InputPort>> inputPorts;
    std::vector<std::unique_ptr<OutputPort>> outputPorts;
    std::vector<std::string> inputBusNames;
    std::vector<std::string> outputBusNames;
};

#pragma once

#include <cstdint>

// What the core needs of an attached editor. The graphics core implements it;
// keeping it abstract lets the engine build and run without any window code.
//
// ReceiveControlValue and ReceiveControlValues are called from the audio
// thread: an implementation only stores the values and marks the control
// dirty, drawing happens elsewhere.
class EditorLink {
public:
    virtual ~EditorLink() = default;
    virtual void PushParamToControls(int32_t paramIdx, double value, bool normalized) = 0;
    virtual void PrepareSurfaces() = 0;
    virtual int32_t ControlCount() const = 0;
    virtual void ReceiveControlValue(int32_t controlIdx, double normalized) = 0;
    // A run of values for one control, one per sample in order: the same as
    // one ReceiveControlValue each. An editor may mark the control once.
    virtual void ReceiveControlValues(int32_t controlIdx, const double* normalized, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            ReceiveControlValue(controlIdx, normalized[i]);
    }
};

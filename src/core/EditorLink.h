#pragma once

#include <cstdint>

// What the core needs of an attached editor. The graphics core implements it;
// keeping it abstract lets the engine build and run without any window code.
//
// ReceiveControlValue is called from the audio thread: an implementation only
// stores the value and marks the control dirty, drawing happens elsewhere.
class EditorLink {
public:
    virtual ~EditorLink() = default;
    virtual void PushParamToControls(int32_t paramIdx, double value, bool normalized) = 0;
    virtual void PrepareSurfaces() = 0;
    virtual int32_t ControlCount() const = 0;
    virtual void ReceiveControlValue(int32_t controlIdx, double normalized) = 0;
};

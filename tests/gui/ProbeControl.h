#pragma once

#include "gui/Control.h"

#include <functional>
#include <string>
#include <vector>

// A control that draws nothing and notes the calls it gets.
class ProbeControl : public Control {
public:
    ProbeControl(PlugCore* plug, const Bounds& rect, int32_t paramIdx = -1)
        : Control(plug, rect, paramIdx, BlendStyle())
    {
    }

    bool Draw(Editor&) override
    {
        calls.push_back("draw");
        return true;
    }
    void MouseDown(int32_t x, int32_t y, const MouseModifiers& mods) override
    {
        calls.push_back("down");
        Control::MouseDown(x, y, mods);
    }
    void MouseUp(int32_t, int32_t, const MouseModifiers&) override
    {
        calls.push_back("up");
        if (onMouseUp)
            (*onMouseUp)();   // may delete this control: touch nothing after it
    }
    void MouseDrag(int32_t, int32_t, int32_t dX, int32_t dY, const MouseModifiers&) override
    {
        calls.push_back("drag " + std::to_string(dX) + "," + std::to_string(dY));
    }
    void MouseDoubleClick(int32_t x, int32_t y, const MouseModifiers& mods) override
    {
        calls.push_back("double");
        Control::MouseDoubleClick(x, y, mods);
    }
    void MouseWheel(int32_t, int32_t, const MouseModifiers&, int32_t steps) override
    {
        calls.push_back("wheel " + std::to_string(steps));
        if (wheelTurns) {
            SetValue(Value() + steps * 0.01);
            MarkDirty(true);
        }
    }
    bool KeyDown(int32_t, int32_t, KeyCode key) override
    {
        calls.push_back("key " + std::to_string(static_cast<int>(key)));
        return takesKeys;
    }
    void MouseOver(int32_t, int32_t, const MouseModifiers&) override { calls.push_back("over"); }
    void MouseOut() override { calls.push_back("out"); }
    void ReceiveEnteredText(const char* text) override { texts.emplace_back(text); }
    void ReceiveAuxParamValue(int32_t auxIdx, double normalized, int32_t count) override
    {
        calls.push_back("aux " + std::to_string(auxIdx) + "/" + std::to_string(count));
        Control::ReceiveAuxParamValue(auxIdx, normalized, count);
    }

    bool Called(const std::string& what) const
    {
        for (const std::string& c : calls)
            if (c == what)
                return true;
        return false;
    }

    std::vector<std::string> calls;
    std::vector<std::string> texts;
    bool takesKeys = false;
    bool wheelTurns = false;   // the wheel moves the value as a knob's does
    const std::function<void()>* onMouseUp = nullptr;   // lives outside the control
};

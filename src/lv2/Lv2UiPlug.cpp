#include "lv2/Lv2UiPlug.h"

#include "gui/Editor.h"

#include <mutex>

void Lv2UiPlug::PortEvent(uint32_t port, float value)
{
    if (value != value || port > static_cast<uint32_t>(ReductionPort()))
        return;
    const auto p = static_cast<int32_t>(port);
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    auto* editor = static_cast<Editor*>(GetEditor());
    if (p == ReductionPort()) {
        if (editor && MeterControl() >= 0)
            editor->ReceiveControlValue(MeterControl(), ReductionShare(value));
        return;
    }
    const int32_t idx = p - FirstParamPort();
    const ParamRecord* param = ParamAt(idx);
    if (!param)
        return;
    // The host echoes what the editor wrote, and may lag a drag with an
    // older value: neither moves the control under the user's hand.
    if (static_cast<float>(param->Value()) == value || (editor && editor->GestureParam() == idx))
        return;
    SetParameterFromHost(idx, param->NormalizedOf(value));
}

void Lv2UiPlug::SeedMeter()
{
    PortEvent(static_cast<uint32_t>(ReductionPort()), 0.0f);
}

void Lv2UiPlug::Touch(int32_t paramIdx, bool grabbed)
{
    // Some hosts list the feature with no interface behind it.
    if (host.touch && host.touch->touch && ParamAt(paramIdx))
        host.touch->touch(host.touch->handle, static_cast<uint32_t>(FirstParamPort() + paramIdx), grabbed);
}

void Lv2UiPlug::BeginParamEdit(int32_t paramIdx)
{
    Touch(paramIdx, true);
}

void Lv2UiPlug::PerformParamEdit(int32_t paramIdx, double)
{
    // The record holds the new value already; ports carry plain values.
    const ParamRecord* param = ParamAt(paramIdx);
    if (!param || !host.write)
        return;
    const auto value = static_cast<float>(param->Value());
    host.write(host.controller, static_cast<uint32_t>(FirstParamPort() + paramIdx), sizeof value, 0, &value);
}

void Lv2UiPlug::EndParamEdit(int32_t paramIdx)
{
    Touch(paramIdx, false);
}

void Lv2UiPlug::ResizeEditor(int32_t width, int32_t height)
{
    if (host.resize && host.resize->ui_resize && width > 0 && height > 0)
        host.resize->ui_resize(host.resize->handle, width, height);
}

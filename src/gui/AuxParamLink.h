#pragma once

#include <atomic>
#include <cstdint>

// A further parameter a control follows. The value is written by whichever
// thread pushes parameter changes, hence atomic.
struct AuxParamLink {
    std::atomic<double> value{0.0};
    int32_t paramIdx = -1;

    explicit AuxParamLink(int32_t idx) : paramIdx(idx) {}
    AuxParamLink(const AuxParamLink& o) : value(o.value.load(std::memory_order_relaxed)), paramIdx(o.paramIdx) {}
    AuxParamLink& operator=(const AuxParamLink& o)
    {
        value.store(o.value.load(std::memory_order_relaxed), std::memory_order_relaxed);
        paramIdx = o.paramIdx;
        return *this;
    }
};

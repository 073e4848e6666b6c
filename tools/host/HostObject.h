#pragma once

#include "pluginterfaces/base/funknown.h"

#include <atomic>

namespace vsthost {

// The reference count of an object the host hands to a plug-in: made with
// owned(new ...) it goes with its last release; held by a test (on the stack
// or as a member) it overrides release() to count without deleting.
template <class Interface>
class HostObject : public Interface {
public:
    virtual ~HostObject() = default;

    Steinberg::uint32 refCount() const { return refs_; }

    Steinberg::uint32 PLUGIN_API addRef() override { return ++refs_; }
    Steinberg::uint32 PLUGIN_API release() override
    {
        const Steinberg::uint32 left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    std::atomic<Steinberg::uint32> refs_{1};
};

}   // namespace vsthost

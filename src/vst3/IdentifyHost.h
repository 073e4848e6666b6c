#pragma once

#include <cstdint>

// Host code for a host application name: the first known name that occurs
// anywhere in it, ignoring ASCII case; 0 when none does.
int32_t IdentifyHost(const char* hostName);

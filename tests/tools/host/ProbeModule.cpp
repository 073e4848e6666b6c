// A stand-in for a plug-in module: its entry answers what the test asks for
// in TIDEPULL_PROBE_ENTRY, its exits are counted in TIDEPULL_PROBE_EXITS (the
// module's own memory goes with it when it is unloaded; plain C, so that
// nothing keeps it mapped), and it has no factory.

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {

#ifndef PROBE_WITHOUT_ENTRY
__attribute__((visibility("default"))) bool ModuleEntry(void*)
{
    const char* want = std::getenv("TIDEPULL_PROBE_ENTRY");
    return !(want && std::strcmp(want, "fail") == 0);
}
#endif

__attribute__((visibility("default"))) bool ModuleExit()
{
    const char* before = std::getenv("TIDEPULL_PROBE_EXITS");
    const int exits = (before ? std::atoi(before) : 0) + 1;
    char text[16];
    std::snprintf(text, sizeof text, "%d", exits);
    setenv("TIDEPULL_PROBE_EXITS", text, 1);
    return true;
}

__attribute__((visibility("default"))) void* GetPluginFactory()
{
    return nullptr;
}
}

#include "vst3/IdentifyHost.h"

#include <cstring>
#include <string>

namespace {

struct KnownHost {
    const char* text;
    int32_t code;
};

// Order matters: the first match wins ("cubase" before "live").
constexpr KnownHost kKnownHosts[] = {
    {"cubase", 3},      {"reaper", 1},      {"nuendo", 4},
    {"cakewalk", 5},    {"samplitude", 8},  {"fruity", 7},
    {"live", 9},        {"melodyne", 12},   {"vstmanlib", 13},
    {"aulab", 14},      {"garageband", 22}, {"forte", 15},
    {"chainer", 16},    {"audition", 17},   {"orion", 18},
    {"sawstudio", 20},  {"logic", 21},      {"digital", 23},
    {"audiomulch", 25}, {"presonus", 26},   {"vst3plugintesthost", 27},
    {"protools", 2},    {"ardour", 28},     {"openmpt", 30},
    {"renoise", 29},    {"standalone", 24},
};

}   // namespace

int32_t IdentifyHost(const char* hostName)
{
    if (!hostName)
        return 0;
    std::string lower(hostName);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    for (const KnownHost& host : kKnownHosts) {
        if (std::strstr(lower.c_str(), host.text))
            return host.code;
    }
    return 0;
}

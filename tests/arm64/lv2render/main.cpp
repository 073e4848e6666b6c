// tidepull_lv2_render PRESET INPUT OUTPUT [KEY]: a factory preset rendered
// through this build's Tidepull.lv2, hosted by lilv as the LV2 tests host it
// (no features, blocks of 700 frames), from a stereo WAV file (and a stereo
// key on the sidechain ports) to a 32-bit float WAV file. Built for arm64
// too, so that the arm64 LV2 module's bits can be compared with the x86-64
// one's under the emulator.
#include "Lv2Host.h"
#include "TestAudio.h"

#include <cstdio>
#include <string>

namespace {
bool Append(Lv2Host::Channels& channels, const char* file)
{
    TestAudio audio;
    if (!audio.read(file) || audio.channels.size() != 2) {
        std::fprintf(stderr, "tidepull_lv2_render: %s is no stereo audio file\n", file);
        return false;
    }
    for (const auto& channel : audio.channels)
        channels.emplace_back(channel.begin(), channel.end());
    return true;
}
}   // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: %s PRESET INPUT.wav OUTPUT.wav [KEY.wav]\n", argv[0]);
        return 2;
    }
    TestAudio input;
    Lv2Host::Channels channels;
    if (!input.read(argv[2]) || !Append(channels, argv[2]) || (argc == 5 && !Append(channels, argv[4])))
        return 1;
    Lv2Host host(input.sampleRate);
    if (!host.Instantiated() || !host.ApplyPreset(argv[1])) {
        std::fprintf(stderr, "tidepull_lv2_render: no instance at %d Hz, or no preset \"%s\"\n", input.sampleRate,
                     argv[1]);
        return 1;
    }
    const Lv2Host::Channels rendered = host.Process(channels, 700);
    TestAudio output;
    output.sampleRate = input.sampleRate;
    for (const auto& channel : rendered)
        output.channels.emplace_back(channel.begin(), channel.end());
    if (!output.writeFloatWav(argv[3])) {
        std::fprintf(stderr, "tidepull_lv2_render: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}

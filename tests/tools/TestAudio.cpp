#include "TestAudio.h"

#include <cmath>
#include <fstream>
#include <sndfile.h>
#include <sstream>

TestAudio TestAudio::bursts(int channelCount, double seconds, int sampleRate)
{
    TestAudio audio;
    audio.sampleRate = sampleRate;
    const long frames = static_cast<long>(seconds * sampleRate);
    audio.channels.assign(channelCount, std::vector<double>(frames, 0.0));
    for (int c = 0; c < channelCount; ++c) {
        for (long i = 0; i < frames; ++i) {
            const double t = static_cast<double>(i) / sampleRate;
            const double sinceBurst = std::fmod(t, 0.25);
            const double envelope = 0.05 + 0.85 * std::exp(-sinceBurst * 12.0);
            const double tone = std::sin(2.0 * 3.141592653589793 * (110.0 + 55.0 * c) * t);
            // Float-representable, so 32-bit and 64-bit runs start from the same samples.
            audio.channels[c][i] = static_cast<float>(envelope * tone);
        }
    }
    return audio;
}

bool TestAudio::writeFloatWav(const std::string& path) const
{
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = static_cast<int>(channels.size());
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    std::vector<double> interleaved;
    for (long i = 0; i < frames(); ++i)
        for (const auto& channel : channels)
            interleaved.push_back(channel[i]);
    const bool ok = sf_writef_double(file, interleaved.data(), frames()) == frames();
    return sf_close(file) == 0 && ok;
}

bool TestAudio::read(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return false;
    sampleRate = info.samplerate;
    format = info.format;
    std::vector<double> interleaved(static_cast<size_t>(info.frames) * info.channels);
    const bool ok = sf_readf_double(file, interleaved.data(), info.frames) == info.frames;
    sf_close(file);
    channels.assign(info.channels, std::vector<double>(info.frames, 0.0));
    for (long i = 0; i < info.frames; ++i)
        for (int c = 0; c < info.channels; ++c)
            channels[c][i] = interleaved[static_cast<size_t>(i) * info.channels + c];
    return ok;
}

std::string TestAudio::fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

double TestAudio::maxDifference(const TestAudio& a, const TestAudio& b)
{
    if (a.channels.size() != b.channels.size() || a.frames() != b.frames())
        return INFINITY;
    double worst = 0.0;
    for (size_t c = 0; c < a.channels.size(); ++c)
        for (long i = 0; i < a.frames(); ++i)
            worst = std::fmax(worst, std::fabs(a.channels[c][i] - b.channels[c][i]));
    return worst;
}

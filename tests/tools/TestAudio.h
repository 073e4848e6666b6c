#pragma once

#include <string>
#include <vector>

// Small audio files for the tests, written and read with libsndfile.
class TestAudio {
public:
    int sampleRate = 48000;
    int format = 0;   // libsndfile format of a file read back
    std::vector<std::vector<double>> channels;

    // A deterministic test signal: decaying bursts loud enough to be compressed.
    static TestAudio bursts(int channelCount, double seconds, int sampleRate);

    long frames() const { return channels.empty() ? 0 : static_cast<long>(channels[0].size()); }
    bool writeFloatWav(const std::string& path) const;
    bool read(const std::string& path);

    static std::string fileBytes(const std::string& path);
    static double maxDifference(const TestAudio& a, const TestAudio& b);
};

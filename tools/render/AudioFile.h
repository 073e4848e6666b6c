#pragma once

#include "AudioClip.h"

#include <string>

class PendingFile;

// Reading and writing audio files with libsndfile.
class AudioFile {
public:
    // Any format libsndfile reads, mono or stereo.
    static bool read(const std::string& path, AudioClip& clip, std::string& error);
    // A WAV of 32-bit or 64-bit floats into the pending file's descriptor,
    // which is closed afterwards; the caller commits the file.
    static bool writeWav(PendingFile& file, const AudioClip& clip, int bits, std::string& error);
};

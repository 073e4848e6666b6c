#include "AudioFile.h"

#include "PendingFile.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <vector>

bool AudioFile::read(const std::string& path, AudioClip& clip, std::string& error)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        error = "cannot read '" + path + "': no such file";
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        error = "cannot read '" + path + "': it is a folder";
        return false;
    }

    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot read '" + path + "' as audio: " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.channels > 2) {
        error = "'" + path + "' has " + std::to_string(info.channels) +
            " channels; only mono and stereo files can be rendered";
        sf_close(file);
        return false;
    }
    if (info.samplerate <= 0 || info.frames < 0) {
        error = "'" + path + "' has no usable sample rate or length";
        sf_close(file);
        return false;
    }

    const long frames = static_cast<long>(info.frames);
    clip = AudioClip(info.channels, frames, info.samplerate);
    std::vector<double> interleaved(static_cast<size_t>(frames) * info.channels);
    const sf_count_t got = frames > 0 ? sf_readf_double(file, interleaved.data(), frames) : 0;
    sf_close(file);
    if (got != frames) {
        error = "cannot read '" + path + "': the file ends early (" + std::to_string(got) + " of " +
            std::to_string(frames) + " frames)";
        return false;
    }
    for (long i = 0; i < frames; ++i)
        for (int c = 0; c < info.channels; ++c)
            clip.channel(c)[i] = interleaved[static_cast<size_t>(i) * info.channels + c];
    return true;
}

bool AudioFile::writeWav(PendingFile& pending, const AudioClip& clip, int bits, std::string& error)
{
    const std::string& path = pending.finalPath();
    SF_INFO info{};
    info.samplerate = static_cast<int>(clip.sampleRate());
    info.channels = clip.channelCount();
    info.format = SF_FORMAT_WAV | (bits == 64 ? SF_FORMAT_DOUBLE : SF_FORMAT_FLOAT);
    if (!sf_format_check(&info)) {
        error = "cannot write '" + path + "': libsndfile refuses this WAV format";
        return false;
    }
    SNDFILE* file = sf_open_fd(pending.takeDescriptor(), SFM_WRITE, &info, SF_TRUE);
    if (!file) {
        error = "cannot write '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    // The PEAK chunk carries the time of writing; without it equal audio gives equal files.
    sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);

    const int channels = clip.channelCount();
    const long frames = clip.frameCount();
    const long chunk = 8192;
    std::vector<double> interleaved64;
    std::vector<float> interleaved32;
    bool ok = true;
    for (long start = 0; ok && start < frames; start += chunk) {
        const long n = frames - start < chunk ? frames - start : chunk;
        sf_count_t written = 0;
        if (bits == 64) {
            interleaved64.resize(static_cast<size_t>(n) * channels);
            for (long i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    interleaved64[static_cast<size_t>(i) * channels + c] = clip.channel(c)[start + i];
            written = sf_writef_double(file, interleaved64.data(), n);
        } else {
            interleaved32.resize(static_cast<size_t>(n) * channels);
            for (long i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    interleaved32[static_cast<size_t>(i) * channels + c] =
                        static_cast<float>(clip.channel(c)[start + i]);
            written = sf_writef_float(file, interleaved32.data(), n);
        }
        ok = written == n;
    }
    if (!ok)
        error = "cannot write '" + path + "': " + sf_strerror(file);
    if (sf_close(file) != 0 && ok) {
        error = "cannot write '" + path + "': closing the file failed";
        ok = false;
    }
    return ok;
}

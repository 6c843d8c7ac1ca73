// Reads a mono or stereo audio file block by block as two float channels.
// Its buffer is sized once for the largest block, so reading a long file
// takes no more memory than reading a short one.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

class AudioFileReader {
public:
    AudioFileReader() = default;
    ~AudioFileReader();
    AudioFileReader(const AudioFileReader&) = delete;
    AudioFileReader& operator=(const AudioFileReader&) = delete;

    // Opens `path` for blocks of up to `blockSize` frames. False with a
    // message when it is missing, unreadable, not audio, or not mono/stereo.
    bool open(const std::string& path, int blockSize, std::string& error);

    // Fills up to `frames` frames (at most the block size) of `left` and
    // `right`; a mono file fills both with the same samples. Returns the
    // frames read, 0 at the end, -1 on a read error (with a message).
    int read(float* left, float* right, int frames, std::string& error);

    int sampleRate() const { return info.samplerate; }
    int channels() const { return info.channels; }
    int format() const { return info.format; }
    // The length the file declares; SF_COUNT_MAX when it cannot tell.
    int64_t frames() const { return info.frames; }
    double durationSeconds() const;

private:
    std::string path;
    SNDFILE* file = nullptr;
    SF_INFO info = {};
    std::vector<float> interleaved;
    int64_t framesRead = 0;
};

// Writes a stereo audio file block by block under a temporary name, and puts
// it in place only when `finish` succeeds. Destroying an unfinished writer
// removes what it wrote.
#pragma once

#include <sndfile.h>

#include <string>
#include <vector>

#include "tools/render/TemporaryFile.h"

class AudioFileWriter {
public:
    AudioFileWriter() = default;
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // `format` is a libsndfile format code; blocks hold up to `blockSize` frames.
    bool create(const std::string& path, int format, int sampleRate, int blockSize,
                std::string& error);
    bool write(const float* left, const float* right, int frames, std::string& error);
    // Completes the file and renames it onto its target.
    bool finish(std::string& error) { return complete(error) && commit(error); }
    // The two halves of finish, for a run that puts several files in place
    // only once all of them are complete.
    bool complete(std::string& error);
    bool commit(std::string& error) { return temporary.commit(error); }

private:
    void abandon();

    static constexpr int kChannels = 2;

    std::string path;
    TemporaryFile temporary;
    SNDFILE* file = nullptr;
    std::vector<float> interleaved;
};

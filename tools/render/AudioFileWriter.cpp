#include "tools/render/AudioFileWriter.h"

#include <unistd.h>

#include <algorithm>

AudioFileWriter::~AudioFileWriter() { abandon(); }

bool AudioFileWriter::create(const std::string& outputPath, int format, int sampleRate,
                             int blockSize, std::string& error) {
    abandon();
    path = outputPath;
    const int descriptor = temporary.create(path, error);
    if (descriptor < 0) return false;
    SF_INFO info = {};
    info.format = format;
    info.samplerate = sampleRate;
    info.channels = kChannels;
    file = sf_open_fd(descriptor, SFM_WRITE, &info, SF_TRUE);
    if (file == nullptr) {
        error = "cannot write '" + path + "': " + sf_strerror(nullptr);
        close(descriptor);
        temporary.discard();
        return false;
    }
    // Integer formats: a sample beyond full scale is clipped rather than
    // wrapped round to the opposite sign.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    interleaved.assign(static_cast<size_t>(blockSize) * kChannels, 0.0f);
    return true;
}

bool AudioFileWriter::write(const float* left, const float* right, int frames,
                            std::string& error) {
    if (file == nullptr) {
        error = "cannot write '" + path + "': the file is not open";
        return false;
    }
    const int blockFrames = static_cast<int>(interleaved.size() / kChannels);
    for (int done = 0; done < frames;) {
        const int count = std::min(frames - done, blockFrames);
        for (int i = 0; i < count; ++i) {
            interleaved[2 * i] = left[done + i];
            interleaved[2 * i + 1] = right[done + i];
        }
        if (sf_writef_float(file, interleaved.data(), count) != count) {
            error = "cannot write '" + path + "': " + sf_strerror(file);
            abandon();
            return false;
        }
        done += count;
    }
    return true;
}

bool AudioFileWriter::complete(std::string& error) {
    const int closeResult = sf_close(file);
    file = nullptr;
    if (closeResult != 0) {
        error = "cannot complete '" + path + "': " + sf_error_number(closeResult);
        temporary.discard();
        return false;
    }
    return true;
}

void AudioFileWriter::abandon() {
    if (file != nullptr) sf_close(file);
    file = nullptr;
    temporary.discard();
}

#include "tools/render/AudioFileReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// The reasons libsndfile would only call "System error", told by the system.
bool explainUnopenable(const std::string& path, std::string& error) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        error = errno == ENOENT ? "input file '" + path + "' does not exist"
                                : "cannot read '" + path + "': " + std::strerror(errno);
        return true;
    }
    if (S_ISDIR(status.st_mode)) {
        error = "input '" + path + "' is a folder, not an audio file";
        return true;
    }
    FILE* probe = std::fopen(path.c_str(), "rb");
    if (probe == nullptr) {
        error = "cannot read '" + path + "': " + std::strerror(errno);
        return true;
    }
    std::fclose(probe);
    return false;
}

}  // namespace

AudioFileReader::~AudioFileReader() {
    if (file != nullptr) sf_close(file);
}

bool AudioFileReader::open(const std::string& inputPath, int blockSize, std::string& error) {
    path = inputPath;
    if (explainUnopenable(path, error)) return false;
    info = {};
    file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        error = "cannot read '" + path + "' as audio: " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.channels > 2) {
        error = "'" + path + "' has " + std::to_string(info.channels) +
                " channels; the renderer takes mono or stereo files";
        return false;
    }
    if (info.samplerate <= 0) {
        error = "'" + path + "' declares no usable sample rate";
        return false;
    }
    interleaved.assign(static_cast<size_t>(blockSize) * info.channels, 0.0f);
    return true;
}

int AudioFileReader::read(float* left, float* right, int frames, std::string& error) {
    const int channelCount = info.channels;
    const sf_count_t wanted = std::min<sf_count_t>(frames, interleaved.size() / channelCount);
    const sf_count_t got = sf_readf_float(file, interleaved.data(), wanted);
    if (got < wanted && sf_error(file) != SF_ERR_NO_ERROR) {
        error = "cannot read '" + path + "' after " + std::to_string(framesRead) +
                " frames: " + sf_strerror(file);
        return -1;
    }
    for (sf_count_t i = 0; i < got; ++i) {
        left[i] = interleaved[i * channelCount];
        right[i] = interleaved[i * channelCount + channelCount - 1];
    }
    framesRead += got;
    return static_cast<int>(got);
}

double AudioFileReader::durationSeconds() const {
    return static_cast<double>(info.frames) / info.samplerate;
}

#include "tools/render/DemoFile.h"

#include <sndfile.h>

#include <vector>

#include "tools/render/AudioFileWriter.h"
#include "tools/render/DemoSong.h"

bool writeDemoFile(const std::string& path, std::string& error) {
    constexpr int kBlockFrames = 4096;
    DemoSong song;
    AudioFileWriter writer;
    if (!writer.create(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, DemoSong::kSampleRate, kBlockFrames,
                       error)) {
        return false;
    }
    std::vector<float> left(kBlockFrames), right(kBlockFrames);
    while (const int frames = song.render(left.data(), right.data(), kBlockFrames)) {
        if (!writer.write(left.data(), right.data(), frames, error)) return false;
    }
    return writer.finish(error);
}

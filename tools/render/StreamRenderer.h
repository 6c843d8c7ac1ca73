// The render itself: reads a block, hands it to the plug-in, writes the
// result, and lets the observers see both, until the input ends. Every buffer
// is sized once for the block, so memory does not grow with the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/render/AudioFileReader.h"
#include "tools/render/AudioFileWriter.h"
#include "tools/render/BlockObserver.h"
#include "tools/render/HostedPlugin.h"
#include "tools/render/LevelStatistics.h"
#include "tools/render/ProcessingBreak.h"

struct RenderFigures {
    LevelStatistics input;
    LevelStatistics output;
    int64_t frames = 0;
    double pluginSeconds = 0.0;  // inside the plug-in's processing calls
    double totalSeconds = 0.0;   // reading, processing and writing
};

class StreamRenderer {
public:
    explicit StreamRenderer(int blockSize);

    void addObserver(BlockObserver* observer) { observers.push_back(observer); }
    // Processing calls then end at its frames too, shorter than the block.
    void setBreaks(ProcessingBreak* breaks) { processingBreaks = breaks; }
    // The plug-in must be open and started.
    bool render(AudioFileReader& reader, HostedPlugin& plugin, AudioFileWriter& writer,
                RenderFigures& figures, std::string& error);

private:
    bool process(HostedPlugin& plugin, int frames, int64_t position, std::string& error);

    int blockSize;
    std::vector<float> inLeft, inRight, outLeft, outRight;
    std::vector<BlockObserver*> observers;
    ProcessingBreak* processingBreaks = nullptr;
};

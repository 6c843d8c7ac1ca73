// The figures printed at the end of a render or a benchmark.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/render/Benchmark.h"
#include "tools/render/PanelState.h"
#include "tools/render/StreamRenderer.h"

struct RenderDescription {
    std::string inputPath;
    int inputFormat = 0;
    int inputChannels = 0;
    int sampleRate = 0;
    std::string outputPath;
    int outputFormat = 0;
    std::string pluginName;
    std::string pluginId;
    bool accumulating = false;
    int blockSize = 0;
    std::string loadedPreset;            // the preset file loaded first, and what it held
    std::optional<PanelState> settings;  // the linked-in plug-in's, as the editor left them
    // Files written besides the audio: a label and what it says.
    std::vector<std::pair<std::string, std::string>> otherFiles;
};

void printRenderSummary(std::FILE* stream, const RenderDescription& description,
                        const RenderFigures& figures);
void printBenchSummary(std::FILE* stream, const RenderDescription& description,
                       const BenchFigures& figures, int passes);

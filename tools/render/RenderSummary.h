// The figures printed at the end of a render or a benchmark.
#pragma once

#include <cstdio>
#include <string>

#include "tools/render/Benchmark.h"
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
};

void printRenderSummary(std::FILE* stream, const RenderDescription& description,
                        const RenderFigures& figures);
void printBenchSummary(std::FILE* stream, const RenderDescription& description,
                       const BenchFigures& figures, int passes);

// One run of the renderer: settles which file goes in and which comes out
// (synthesizing the demo when no input is named), loads and opens the
// plug-in, then renders or benchmarks and prints the figures.
#pragma once

#include <string>

#include "tools/render/HostedPlugin.h"
#include "tools/render/PluginLibrary.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/RenderSummary.h"

class RenderJob {
public:
    explicit RenderJob(const RenderOptions& options);

    // False with a message naming the problem; no output file is left behind.
    bool run(std::string& error);

private:
    bool settlePaths(std::string& error);
    bool prepareDemoInput(std::string& error);
    bool loadPlugin(PluginLibrary& library, HostedPlugin& plugin, int sampleRate,
                    std::string& error);
    bool render(std::string& error);
    bool bench(std::string& error);
    void describePlugin(const PluginLibrary& library, const HostedPlugin& plugin);

    RenderOptions options;
    std::string inputPath;
    std::string outputPath;
    RenderDescription description;
};

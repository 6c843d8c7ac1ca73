// One run of the renderer: settles which files go in and come out
// (synthesizing the demo when no input is named), loads and opens the
// plug-in, makes the settings through its editor, then renders or benchmarks
// and prints the figures. Every file it writes is put in place only when the
// whole run has succeeded.
#pragma once

#include <optional>
#include <string>

#include "tools/render/AudioFileReader.h"
#include "tools/render/AudioFileWriter.h"
#include "tools/render/HostedPlugin.h"
#include "tools/render/LevelPlot.h"
#include "tools/render/LinkedCompressor.h"
#include "tools/render/PluginLibrary.h"
#include "tools/render/PresetFile.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/RenderSummary.h"
#include "tools/render/SideOutputs.h"

class RenderJob {
public:
    explicit RenderJob(const RenderOptions& options);

    // False with a message naming the problem; no output file is left behind.
    bool run(std::string& error);
    // After a failed run: whether it failed on what it was given (a preset
    // file that is damaged or not for this plug-in), as a bad option fails.
    bool refusedItsArguments() const { return argumentsRefused; }

private:
    bool settlePaths(std::string& error);
    bool checkOutputsDiffer(std::string& error) const;
    bool prepareDemoInput(std::string& error);
    bool readPreset(std::string& error);
    bool loadPresetInto(HostedPlugin& plugin, std::string& error);
    bool savePreset(HostedPlugin& plugin, SideOutputs& side, std::string& error);
    bool loadPlugin(PluginLibrary& library, HostedPlugin& plugin, int sampleRate,
                    std::string& error);
    bool applySettings(HostedPlugin& plugin, const std::string& editorPicture, std::string& error);
    bool render(std::string& error);
    bool stream(AudioFileReader& reader, HostedPlugin& plugin, AudioFileWriter& writer, SideOutputs& side,
                RenderFigures& figures, std::string& error);
    bool completeFiles(AudioFileWriter& writer, SideOutputs& side, const LevelPlot& plot, std::string& error);
    bool bench(std::string& error);
    void describePlugin(const PluginLibrary& library, const HostedPlugin& plugin);

    RenderOptions options;
    std::string inputPath;
    std::string outputPath;
    RenderDescription description;
    std::optional<LinkedCompressor> linked;  // the built-in plug-in, once loaded
    std::optional<PresetFile> preset;        // the preset to load, once read
    bool argumentsRefused = false;
    int64_t meterValues = 0;                 // rows written by --meter-csv
};

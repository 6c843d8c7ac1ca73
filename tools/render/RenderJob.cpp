#include "tools/render/RenderJob.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "tools/render/AudioFileReader.h"
#include "tools/render/AudioFileWriter.h"
#include "tools/render/AudioFormat.h"
#include "tools/render/Benchmark.h"
#include "engine/CompressorEngine.h"
#include "tools/render/DemoFile.h"
#include "tools/render/EditorDriver.h"
#include "tools/render/KnobTable.h"
#include "tools/render/LevelPlot.h"
#include "tools/render/LevelTrace.h"
#include "tools/render/MeterLog.h"
#include "tools/render/PresetTransfer.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/SettingsText.h"
#include "tools/render/SideOutputs.h"
#include "tools/render/StreamRenderer.h"

namespace {

const char kOutputFolder[] = "out";
const char kDemoInputPath[] = "out/demo-in.wav";
const char kDemoOutputPath[] = "out/demo-out.wav";
const char kOutputSuffix[] = "-zq3r.wav";

bool ensureFolder(const std::string& folder, std::string& error) {
    if (mkdir(folder.c_str(), 0777) == 0) return true;
    struct stat status;
    if (errno == EEXIST && stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        return true;
    }
    error = "cannot create folder '" + folder + "': " +
            (errno == EEXIST ? "a file has that name" : std::strerror(errno));
    return false;
}

// "songs/take 3.flac" gives "take 3".
std::string stemOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Two names of one file, whether or not it exists yet.
bool samePath(const std::string& a, const std::string& b) {
    std::error_code error;
    const auto first = std::filesystem::weakly_canonical(std::filesystem::absolute(a), error);
    const auto second = std::filesystem::weakly_canonical(std::filesystem::absolute(b), error);
    return sameFile(a, b) || (!error && first == second);
}

std::string fileName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The gain the plug-in applies where it does not compress, against which the
// plot measures its gain reduction.
float uncompressedLevel(CompressorEngine& engine, const PanelState& state) {
    return state.bypassed ? 1.0f : engine.getCoefficients().makeUpLevel;
}

PlotLabels plotLabels(const std::string& inputPath, const PanelState& state) {
    PlotLabels labels;
    labels.title = "ZQ3R Compressor: " + fileName(inputPath);
    labels.subtitle = programAndPowerText(state) + "  |  " + knobsText(state);
    labels.showThreshold = !state.bypassed;
    labels.thresholdDecibels = knobFor(kThreshold)->decibels->decibelsAt(state.parameters[kThreshold]);
    return labels;
}

}  // namespace

RenderJob::RenderJob(const RenderOptions& given) : options(given) {}

bool RenderJob::run(std::string& error) {
    if (!settlePaths(error) || !readPreset(error)) return false;
    if (options.inputPath.empty() && !prepareDemoInput(error)) return false;
    return options.benchPasses > 0 ? bench(error) : render(error);
}

bool RenderJob::settlePaths(std::string& error) {
    const bool demo = options.inputPath.empty();
    inputPath = demo ? kDemoInputPath : options.inputPath;
    if (!options.outputPath.empty()) {
        outputPath = options.outputPath;
    } else {
        outputPath = demo ? kDemoOutputPath
                          : std::string(kOutputFolder) + "/" + stemOf(inputPath) + kOutputSuffix;
    }
    if (options.benchPasses == 0 && sameFile(inputPath, outputPath)) {
        error = "the output '" + outputPath + "' is the input file; name another with --out";
        return false;
    }
    return checkOutputsDiffer(error);
}

bool RenderJob::checkOutputsDiffer(std::string& error) const {
    std::vector<std::pair<std::string, std::string>> outputs;  // option, path
    if (options.benchPasses == 0) outputs.emplace_back("--out", outputPath);
    if (!options.editorPicturePath.empty()) outputs.emplace_back("--editor-png", options.editorPicturePath);
    if (!options.plotPath.empty()) outputs.emplace_back("--plot", options.plotPath);
    if (!options.meterPath.empty()) outputs.emplace_back("--meter-csv", options.meterPath);
    if (!options.savePresetPath.empty()) outputs.emplace_back("--save-preset", options.savePresetPath);
    for (size_t i = 0; i < outputs.size(); ++i) {
        if (i > 0 && samePath(inputPath, outputs[i].second)) {
            error = outputs[i].first + " names the input file '" + outputs[i].second + "'";
            return false;
        }
        for (size_t j = 0; j < i; ++j) {
            if (samePath(outputs[i].second, outputs[j].second)) {
                error = outputs[j].first + " and " + outputs[i].first + " name the same file '" +
                        outputs[i].second + "'";
                return false;
            }
        }
    }
    return true;
}

bool RenderJob::prepareDemoInput(std::string& error) {
    if (!ensureFolder(kOutputFolder, error) || !writeDemoFile(inputPath, error)) return false;
    if (!options.quiet) {
        std::printf("Demo      %s: synthesized drum and bass, loud and quiet passages\n",
                    inputPath.c_str());
    }
    return true;
}

bool RenderJob::loadPlugin(PluginLibrary& library, HostedPlugin& plugin, int sampleRate,
                           std::string& error) {
    if (options.pluginPath.empty()) {
        library.useLinkedPlugin();
    } else if (!library.load(options.pluginPath, error)) {
        return false;
    }
    if (!plugin.create(library.entry(), error) ||
        !plugin.open(static_cast<float>(sampleRate), options.blockSize, options.accumulate,
                     error)) {
        error = "plug-in '" + library.name() + "' " + error;
        return false;
    }
    if (options.pluginPath.empty()) linked.emplace(plugin.record());
    describePlugin(library, plugin);
    return true;
}

// Read before anything is written, so that a bad file costs nothing.
bool RenderJob::readPreset(std::string& error) {
    if (options.presetPath.empty()) return true;
    preset.emplace();
    argumentsRefused = !readPresetFile(options.presetPath, *preset, error);
    return !argumentsRefused;
}

bool RenderJob::loadPresetInto(HostedPlugin& plugin, std::string& error) {
    argumentsRefused = !loadPreset(plugin, description.pluginName, *preset, options.presetPath, error);
    if (argumentsRefused) return false;
    description.loadedPreset = options.presetPath + " (" + presetText(*preset) + ")";
    return true;
}

// The file goes in place with the others, when the whole run has succeeded.
bool RenderJob::savePreset(HostedPlugin& plugin, SideOutputs& side, std::string& error) {
    PresetFile::Kind kind = PresetFile::Kind::Program;
    presetKindOfName(options.savePresetPath, kind);
    PresetFile saved;
    if (!takePreset(plugin, description.pluginName, kind, stemOf(options.savePresetPath), saved, error)) {
        argumentsRefused = true;
        return false;
    }
    if (!side.writePreset(encodePresetFile(saved), error)) return false;
    description.otherFiles.emplace_back("Preset", options.savePresetPath + " (" + presetText(saved) + ")");
    return true;
}

// Between opening the plug-in and its first processing call, as a person sets
// a plug-in up in a host before pressing play: a preset first, as a host
// loads one, then the editor.
bool RenderJob::applySettings(HostedPlugin& plugin, const std::string& editorPicture, std::string& error) {
    if (preset && !loadPresetInto(plugin, error)) return false;
    if (options.needsEditor() && !setThroughEditor(plugin.record(), options.settings, editorPicture, error)) {
        return false;
    }
    if (linked) description.settings = readPanelState(linked->engine());
    return true;
}

void RenderJob::describePlugin(const PluginLibrary& library, const HostedPlugin& plugin) {
    description.pluginName = library.name();
    description.pluginId = plugin.uniqueIdText();
    description.accumulating = plugin.accumulates();
    description.blockSize = options.blockSize;
}

bool RenderJob::render(std::string& error) {
    AudioFileReader reader;
    if (!reader.open(inputPath, options.blockSize, error)) return false;
    LevelPlot plot;
    if (!options.plotPath.empty() && !plot.prepare(error)) return false;
    // The library outlives the plug-in it holds: declared first, destroyed last.
    PluginLibrary library;
    HostedPlugin plugin;
    if (!loadPlugin(library, plugin, reader.sampleRate(), error)) return false;

    int outputFormat = 0;
    if (!chooseOutputFormat(outputPath, reader.format(), options.writeFloat, reader.sampleRate(),
                            2, outputFormat, error)) {
        return false;
    }
    if (options.outputPath.empty() && !ensureFolder(kOutputFolder, error)) return false;
    AudioFileWriter writer;
    if (!writer.create(outputPath, outputFormat, reader.sampleRate(), options.blockSize, error)) {
        return false;
    }
    SideOutputs side;
    if (!side.create(options, error)) return false;
    if (!applySettings(plugin, side.editorPicture(), error)) return false;
    if (side.wantsPreset() && !savePreset(plugin, side, error)) return false;

    RenderFigures figures;
    if (!stream(reader, plugin, writer, side, figures, error)) return false;
    if (!completeFiles(writer, side, plot, error)) return false;

    if (!options.quiet) {
        description.inputPath = inputPath;
        description.inputFormat = reader.format();
        description.inputChannels = reader.channels();
        description.sampleRate = reader.sampleRate();
        description.outputPath = outputPath;
        description.outputFormat = outputFormat;
        printRenderSummary(stdout, description, figures);
    }
    return true;
}

// From the first processing call to the last, with whatever follows the
// render: the progress bar, the meter, the plot's level trace.
bool RenderJob::stream(AudioFileReader& reader, HostedPlugin& plugin, AudioFileWriter& writer,
                       SideOutputs& side, RenderFigures& figures, std::string& error) {
    StreamRenderer renderer(options.blockSize);
    const bool lengthKnown = reader.frames() != SF_COUNT_MAX;
    std::unique_ptr<ProgressBar> progress;
    if (lengthKnown && ProgressBar::wanted(options.quiet, reader.durationSeconds())) {
        progress = std::make_unique<ProgressBar>(reader.frames());
        renderer.addObserver(progress.get());
    }
    std::unique_ptr<MeterLog> meter;
    if (side.wantsMeter()) {
        meter = std::make_unique<MeterLog>(linked->engine(), reader.sampleRate(), side.meter());
        renderer.setBreaks(meter.get());
    }
    std::unique_ptr<LevelTrace> trace;
    if (side.wantsPlot()) {
        trace = std::make_unique<LevelTrace>(reader.sampleRate(), lengthKnown ? reader.frames() : 0,
                                             uncompressedLevel(linked->engine(), *description.settings),
                                             side.plotData());
        renderer.addObserver(trace.get());
    }
    plugin.start();
    if (!renderer.render(reader, plugin, writer, figures, error)) return false;
    if (progress) progress->finish();
    plugin.close();
    linked.reset();
    if (trace) trace->finish();
    if (meter) meterValues = meter->rows();
    return true;
}

// Completes every file, draws the plot, and only then puts them in place.
bool RenderJob::completeFiles(AudioFileWriter& writer, SideOutputs& side, const LevelPlot& plot,
                              std::string& error) {
    if (!writer.complete(error)) return false;
    if (side.wantsMeter() && !side.meter().complete(error)) return false;
    if (side.wantsPlot()) {
        if (!side.plotData().complete(error) ||
            !plot.draw(side.plotData().temporaryPath(), side.plotPicture(),
                       plotLabels(inputPath, *description.settings), error)) {
            return false;
        }
    }
    if (!side.commit(error)) return false;
    if (!writer.commit(error)) {
        side.withdraw();
        return false;
    }
    if (side.wantsEditorPicture()) description.otherFiles.emplace_back("Editor", options.editorPicturePath);
    if (side.wantsPlot()) description.otherFiles.emplace_back("Plot", options.plotPath);
    if (side.wantsMeter()) {
        const std::string values = std::to_string(meterValues) + " gain-reduction values";
        description.otherFiles.emplace_back("Meter", options.meterPath + " (" + values + ")");
    }
    return true;
}

bool RenderJob::bench(std::string& error) {
    AudioFileReader reader;
    if (!reader.open(inputPath, options.blockSize, error)) return false;
    Benchmark benchmark(options.blockSize);
    if (!benchmark.load(reader, error)) return false;
    PluginLibrary library;
    HostedPlugin plugin;
    if (!loadPlugin(library, plugin, reader.sampleRate(), error)) return false;
    if (!applySettings(plugin, "", error)) return false;

    plugin.start();
    BenchFigures figures;
    benchmark.run(plugin, options.benchPasses, figures);
    plugin.close();
    linked.reset();

    description.inputPath = inputPath;
    description.sampleRate = reader.sampleRate();
    printBenchSummary(stdout, description, figures, options.benchPasses);
    return true;
}

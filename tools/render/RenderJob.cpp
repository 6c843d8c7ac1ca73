#include "tools/render/RenderJob.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "tools/render/AudioFileReader.h"
#include "tools/render/AudioFileWriter.h"
#include "tools/render/AudioFormat.h"
#include "tools/render/Benchmark.h"
#include "tools/render/DemoFile.h"
#include "tools/render/ProgressBar.h"
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

}  // namespace

RenderJob::RenderJob(const RenderOptions& given) : options(given) {}

bool RenderJob::run(std::string& error) {
    if (!settlePaths(error)) return false;
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
    describePlugin(library, plugin);
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

    StreamRenderer renderer(options.blockSize);
    std::unique_ptr<ProgressBar> progress;
    if (reader.frames() != SF_COUNT_MAX &&
        ProgressBar::wanted(options.quiet, reader.durationSeconds())) {
        progress = std::make_unique<ProgressBar>(reader.frames());
        renderer.addObserver(progress.get());
    }
    // Settings made through the plug-in's editor belong here, before the
    // first processing call.
    plugin.start();
    RenderFigures figures;
    if (!renderer.render(reader, plugin, writer, figures, error)) return false;
    if (progress) progress->finish();
    plugin.close();
    if (!writer.finish(error)) return false;

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

bool RenderJob::bench(std::string& error) {
    AudioFileReader reader;
    if (!reader.open(inputPath, options.blockSize, error)) return false;
    Benchmark benchmark(options.blockSize);
    if (!benchmark.load(reader, error)) return false;
    PluginLibrary library;
    HostedPlugin plugin;
    if (!loadPlugin(library, plugin, reader.sampleRate(), error)) return false;

    plugin.start();
    BenchFigures figures;
    benchmark.run(plugin, options.benchPasses, figures);
    plugin.close();

    description.inputPath = inputPath;
    description.sampleRate = reader.sampleRate();
    printBenchSummary(stdout, description, figures, options.benchPasses);
    return true;
}

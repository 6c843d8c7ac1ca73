#include "tools/render/RenderSummary.h"

#include <cmath>

#include "tools/render/AudioFormat.h"
#include "tools/render/SettingsText.h"

namespace {

std::string decibelText(double level) {
    const double decibels = LevelStatistics::toDecibels(level);
    if (std::isinf(decibels)) return "-inf dBFS";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dBFS", decibels);
    return text;
}

const char* channelName(int channels) { return channels == 1 ? "mono" : "stereo"; }

void printPluginLine(std::FILE* stream, const RenderDescription& d) {
    std::fprintf(stream, "Plug-in   %s, id '%s', %s, block %d\n", d.pluginName.c_str(),
                 d.pluginId.c_str(), d.accumulating ? "process (accumulating)" : "processReplacing",
                 d.blockSize);
}

void printSettingsLines(std::FILE* stream, const RenderDescription& d) {
    if (!d.loadedPreset.empty()) std::fprintf(stream, "Preset    loaded %s\n", d.loadedPreset.c_str());
    if (!d.settings) return;
    std::fprintf(stream, "Settings  %s\n", programAndPowerText(*d.settings).c_str());
    std::fprintf(stream, "          %s\n", knobsText(*d.settings).c_str());
}

void printLevelLine(std::FILE* stream, const char* name, const LevelStatistics& levels) {
    std::fprintf(stream, "  %-8s %14s %14s\n", name, decibelText(levels.peak()).c_str(),
                 decibelText(levels.rms()).c_str());
}

}  // namespace

void printRenderSummary(std::FILE* stream, const RenderDescription& d,
                        const RenderFigures& figures) {
    const double duration = static_cast<double>(figures.frames) / d.sampleRate;
    std::fprintf(stream, "Input     %s (%s, %s)\n", d.inputPath.c_str(),
                 describeFormat(d.inputFormat).c_str(), channelName(d.inputChannels));
    std::fprintf(stream, "Output    %s (%s, stereo)\n", d.outputPath.c_str(),
                 describeFormat(d.outputFormat).c_str());
    for (const auto& [label, text] : d.otherFiles) std::fprintf(stream, "%-9s %s\n", label.c_str(), text.c_str());
    printPluginLine(stream, d);
    printSettingsLines(stream, d);
    std::fprintf(stream, "Duration  %.2f s at %d Hz (%lld frames)\n", duration, d.sampleRate,
                 static_cast<long long>(figures.frames));
    std::fprintf(stream, "Levels    %14s %14s\n", "peak", "RMS");
    printLevelLine(stream, "input", figures.input);
    printLevelLine(stream, "output", figures.output);
    if (figures.totalSeconds > 0.0 && figures.pluginSeconds > 0.0) {
        std::fprintf(stream, "Speed     %.0fx real time (plug-in alone %.0fx)\n",
                     duration / figures.totalSeconds, duration / figures.pluginSeconds);
    }
}

void printBenchSummary(std::FILE* stream, const RenderDescription& d, const BenchFigures& figures,
                       int passes) {
    const double duration = static_cast<double>(figures.frames) / d.sampleRate;
    std::fprintf(stream, "Input     %s (%.2f s at %d Hz, %lld frames)\n", d.inputPath.c_str(),
                 duration, d.sampleRate, static_cast<long long>(figures.frames));
    printPluginLine(stream, d);
    printSettingsLines(stream, d);
    std::fprintf(stream, "Bench     %d %s from memory\n", passes, passes == 1 ? "pass" : "passes");
    std::fprintf(stream, "  ns per frame     min %.2f, median %.2f\n",
                 figures.minimumNanosecondsPerFrame(), figures.medianNanosecondsPerFrame());
    std::fprintf(stream, "  real-time factor %.0fx (median pass)\n",
                 figures.realTimeFactor(d.sampleRate));
}

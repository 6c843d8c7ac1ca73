#include "tools/render/StreamRenderer.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

StreamRenderer::StreamRenderer(int size)
    : blockSize(size), inLeft(size), inRight(size), outLeft(size), outRight(size) {}

bool StreamRenderer::render(AudioFileReader& reader, HostedPlugin& plugin,
                            AudioFileWriter& writer, RenderFigures& figures,
                            std::string& error) {
    const Clock::time_point renderStart = Clock::now();
    for (;;) {
        const int frames = reader.read(inLeft.data(), inRight.data(), blockSize, error);
        if (frames < 0) return false;
        if (frames == 0) break;
        // Measured before the plug-in runs, in case it writes into its inputs.
        figures.input.add(inLeft.data(), inRight.data(), frames);

        const Clock::time_point processStart = Clock::now();
        plugin.process(inLeft.data(), inRight.data(), outLeft.data(), outRight.data(), frames);
        figures.pluginSeconds += secondsSince(processStart);

        figures.output.add(outLeft.data(), outRight.data(), frames);
        const StereoBlock input = {inLeft.data(), inRight.data(), frames};
        const StereoBlock output = {outLeft.data(), outRight.data(), frames};
        for (BlockObserver* observer : observers) observer->observe(input, output, figures.frames);
        if (!writer.write(outLeft.data(), outRight.data(), frames, error)) return false;
        figures.frames += frames;
    }
    figures.totalSeconds = secondsSince(renderStart);
    return true;
}

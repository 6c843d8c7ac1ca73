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
        if (!process(plugin, frames, figures.frames, error)) return false;
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

// One call for the block, or several that end at the breaks inside it.
bool StreamRenderer::process(HostedPlugin& plugin, int frames, int64_t position, std::string& error) {
    for (int done = 0; done < frames;) {
        int count = frames - done;
        int64_t breakAt = -1;
        if (processingBreaks) {
            breakAt = processingBreaks->nextBreak(position + done);
            if (breakAt - position - done < count) count = static_cast<int>(breakAt - position - done);
        }
        plugin.process(inLeft.data() + done, inRight.data() + done, outLeft.data() + done,
                       outRight.data() + done, count);
        done += count;
        if (position + done == breakAt && !processingBreaks->reached(breakAt, error)) return false;
    }
    return true;
}

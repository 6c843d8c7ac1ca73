#include "tools/render/ChannelAdapter.h"

#include <algorithm>

bool ChannelAdapter::configure(int pluginInputs, int pluginOutputs, int blockSize,
                               std::string& error) {
    if (pluginInputs < 1 || pluginOutputs < 1 || pluginInputs > kMostChannels ||
        pluginOutputs > kMostChannels) {
        error = "reports " + std::to_string(pluginInputs) + " inputs and " +
                std::to_string(pluginOutputs) +
                " outputs; the renderer needs an effect with 1 to " +
                std::to_string(kMostChannels) + " of each";
        return false;
    }
    inputCount = pluginInputs;
    outputCount = pluginOutputs;
    const size_t frames = static_cast<size_t>(blockSize);
    silentInputs.assign(std::max(0, inputCount - 2), std::vector<float>(frames, 0.0f));
    discardedOutputs.assign(std::max(0, outputCount - 2), std::vector<float>(frames, 0.0f));
    inputPointers.assign(inputCount, nullptr);
    outputPointers.assign(outputCount, nullptr);
    return true;
}

void ChannelAdapter::connect(const float* inLeft, const float* inRight, float* outLeft,
                             float* outRight, int frames, bool clearOutputs) {
    // Plug-ins take non-const channel arrays; they are expected only to read
    // their inputs.
    inputPointers[0] = const_cast<float*>(inLeft);
    if (inputCount > 1) inputPointers[1] = const_cast<float*>(inRight);
    for (size_t i = 0; i < silentInputs.size(); ++i) {
        // Refilled every block in case a plug-in writes into its inputs.
        std::fill_n(silentInputs[i].begin(), frames, 0.0f);
        inputPointers[2 + i] = silentInputs[i].data();
    }
    outputPointers[0] = outLeft;
    if (outputCount > 1) outputPointers[1] = outRight;
    for (size_t i = 0; i < discardedOutputs.size(); ++i) {
        outputPointers[2 + i] = discardedOutputs[i].data();
    }
    if (clearOutputs) {
        for (float* output : outputPointers) std::fill_n(output, frames, 0.0f);
    }
}

void ChannelAdapter::completeOutputs(float* outLeft, float* outRight, int frames) {
    if (outputCount == 1) std::copy_n(outLeft, frames, outRight);
}

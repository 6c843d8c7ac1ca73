// Connects the renderer's stereo blocks to a plug-in's own channel counts.
//
// Inputs: left and right go to the plug-in's first two inputs; further inputs
// (a sidechain, say) get silence; a mono plug-in gets the left channel.
// Outputs: the first two become left and right; further outputs are written
// into scratch and discarded; a single output is written to both channels.
// Scratch is allocated once, for the largest block.
#pragma once

#include <string>
#include <vector>

class ChannelAdapter {
public:
    static constexpr int kMostChannels = 64;

    // False with a message when the plug-in's counts make no sense for an effect.
    bool configure(int pluginInputs, int pluginOutputs, int blockSize, std::string& error);

    // Points the plug-in's channel arrays at this block's buffers. With
    // `clearOutputs` every output is zeroed first, as the accumulating call needs.
    void connect(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                 int frames, bool clearOutputs);
    float** inputs() { return inputPointers.data(); }
    float** outputs() { return outputPointers.data(); }
    // After the plug-in has run: a single output also becomes the right channel.
    void completeOutputs(float* outLeft, float* outRight, int frames);

private:
    int inputCount = 0;
    int outputCount = 0;
    std::vector<std::vector<float>> silentInputs;
    std::vector<std::vector<float>> discardedOutputs;
    std::vector<float*> inputPointers;
    std::vector<float*> outputPointers;
};

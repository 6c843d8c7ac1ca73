// One plug-in instance driven the way a host drives it: created through its
// entry point with our host callback, then effOpen, the file's sample rate,
// the block size, mains on, processing, mains off and effClose. Destroying it
// finishes whatever part of that sequence has begun, so an error anywhere
// still closes the plug-in properly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/AEffect.h"
#include "tools/render/ChannelAdapter.h"
#include "tools/render/PluginLibrary.h"

class HostedPlugin {
public:
    HostedPlugin() = default;
    ~HostedPlugin();
    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    // Calls the entry point; false when it gives no usable record. Messages
    // are phrased to follow the plug-in's name.
    bool create(PluginEntryProc entry, std::string& error);
    // effOpen, effSetSampleRate, effSetBlockSize; then reads the channel counts.
    // `accumulate` asks for the accumulating `process` call.
    bool open(float sampleRate, int blockSize, bool accumulate, std::string& error);
    void start();  // effMainsChanged 1
    // One block of at most the block size.
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                 int frames);
    void stop();   // effMainsChanged 0
    void close();  // effClose; the record is gone afterwards

    // The plug-in's settings as one chunk, as hosts save and load them:
    // effGetChunk (empty when it gives none) and effSetChunk (true when it
    // took the chunk). Only for plug-ins whose flags say they keep chunks.
    bool keepsChunks() const { return effect && (effect->flags & effFlagsProgramChunks); }
    std::vector<uint8_t> getChunk(bool preset);
    bool setChunk(const std::vector<uint8_t>& chunk, bool preset);

    // For settings sent through the record before processing starts.
    intptr_t dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    AEffect* record() const { return effect; }

    int inputCount() const { return effect ? effect->numInputs : 0; }
    int outputCount() const { return effect ? effect->numOutputs : 0; }
    bool accumulates() const { return accumulating; }
    // The record's unique id as its four characters, e.g. "ZQ3R".
    std::string uniqueIdText() const;

private:
    static intptr_t hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                 void* ptr, float opt);

    AEffect* effect = nullptr;
    bool running = false;
    bool accumulating = false;
    ChannelAdapter channels;
};

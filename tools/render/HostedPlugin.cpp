#include "tools/render/HostedPlugin.h"

#include "tools/render/FourCharacterText.h"

namespace {

// What we answer to the version query: any non-zero value lets a plug-in
// start; this one is what hosts of the 2.4 interface report.
constexpr intptr_t kHostVersion = 2400;

}  // namespace

HostedPlugin::~HostedPlugin() { close(); }

intptr_t HostedPlugin::hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    // Only the version is answered: the renderer offers no automation, time
    // information or idle calls, and 0 tells a plug-in just that.
    return opcode == audioMasterVersion ? kHostVersion : 0;
}

bool HostedPlugin::create(PluginEntryProc entry, std::string& error) {
    effect = entry(&HostedPlugin::hostCallback);
    if (effect == nullptr) {
        error = "returned no record: it declined to start";
        return false;
    }
    if (effect->magic != kEffectMagic) {
        // Not a record we can trust with a dispatcher call, so not closed either.
        effect = nullptr;
        error = "returned something that is not a plug-in record (no 'VstP' mark)";
        return false;
    }
    return true;
}

bool HostedPlugin::open(float sampleRate, int blockSize, bool accumulate, std::string& error) {
    dispatch(effOpen, 0, 0, nullptr, 0.0f);
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize, nullptr, 0.0f);
    if (!channels.configure(effect->numInputs, effect->numOutputs, blockSize, error)) return false;

    const bool canReplace = (effect->flags & effFlagsCanReplacing) && effect->processReplacing;
    accumulating = accumulate || !canReplace;
    if (accumulating && effect->process == nullptr) {
        error = accumulate ? "has no accumulating process call; leave out --accumulate"
                           : "offers no processing call";
        return false;
    }
    return true;
}

void HostedPlugin::start() {
    dispatch(effMainsChanged, 0, 1, nullptr, 0.0f);
    running = true;
}

void HostedPlugin::process(const float* inLeft, const float* inRight, float* outLeft,
                           float* outRight, int frames) {
    channels.connect(inLeft, inRight, outLeft, outRight, frames, accumulating);
    if (accumulating) {
        effect->process(effect, channels.inputs(), channels.outputs(), frames);
    } else {
        effect->processReplacing(effect, channels.inputs(), channels.outputs(), frames);
    }
    channels.completeOutputs(outLeft, outRight, frames);
}

void HostedPlugin::stop() {
    if (!running) return;
    dispatch(effMainsChanged, 0, 0, nullptr, 0.0f);
    running = false;
}

void HostedPlugin::close() {
    stop();
    if (effect != nullptr) dispatch(effClose, 0, 0, nullptr, 0.0f);
    effect = nullptr;
}

intptr_t HostedPlugin::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                float opt) {
    if (effect == nullptr || effect->dispatcher == nullptr) return 0;
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::vector<uint8_t> HostedPlugin::getChunk(bool preset) {
    void* data = nullptr;
    const intptr_t size = dispatch(effGetChunk, preset ? 1 : 0, 0, &data, 0.0f);
    if (size <= 0 || !data) return {};
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

// As for hosts: the plug-in takes what it needs during the call, the bytes stay ours.
bool HostedPlugin::setChunk(const std::vector<uint8_t>& chunk, bool preset) {
    void* data = const_cast<uint8_t*>(chunk.data());
    return dispatch(effSetChunk, preset ? 1 : 0, static_cast<intptr_t>(chunk.size()), data, 0.0f) != 0;
}

std::string HostedPlugin::uniqueIdText() const { return effect ? fourCharacterText(effect->uniqueID) : ""; }

// The compressor as a stereo effect: the effect base faces the host, the
// engine does the work, and the editor (owned by the effect base) shows it.
//
// Hosts save and restore the whole state as one chunk (StateChunk.h) and
// still see no parameters and no programs.
//
// Both bases have setParameter, getParameter, getVu, process and
// processReplacing. They stay apart: the effect base's serve the host, which
// sees no parameters, and the engine's serve the editor. Only the two
// processing calls are joined, here.
#pragma once

#include "engine/CompressorEngine.h"
#include "engine/StateChunk.h"
#include "host/EffectBase.h"

class CompressorEffect : public EffectBase, public CompressorEngine {
public:
    explicit CompressorEffect(audioMasterCallback audioMaster);
    ~CompressorEffect() override;

    // Channels 0 and 1 of the host's arrays are the left and right channels.
    void process(float** inputs, float** outputs, int32_t sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;

    // effGetChunk and effSetChunk, on the host's user-interface thread. A
    // preset is the working values alone; the whole state is everything the
    // panel can reach. The chunk handed out stays valid until the next
    // getChunk or effClose. setChunk answers 1 when the chunk was valid and
    // taken whole, 0 when it changed nothing; the chunk says itself which
    // kind it is, so a host that loads with the other flag still gets it.
    int32_t getChunk(void** data, HostBool isPreset) override;
    int32_t setChunk(void* data, int32_t byteSize, HostBool isPreset) override;

    CompressorEngine* getEngine() { return this; }

private:
    void createEditor();

    uint8_t chunkBytes[stateChunk::kWholeStateSize];  // what the last getChunk handed out
};

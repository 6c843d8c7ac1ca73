// The compressor as a stereo effect: the effect base faces the host, the
// engine does the work, and the editor (owned by the effect base) shows it.
//
// Both bases have setParameter, getParameter, getVu, process and
// processReplacing. They stay apart: the effect base's serve the host, which
// sees no parameters, and the engine's serve the editor. Only the two
// processing calls are joined, here.
#pragma once

#include "engine/CompressorEngine.h"
#include "host/EffectBase.h"

class CompressorEffect : public EffectBase, public CompressorEngine {
public:
    explicit CompressorEffect(audioMasterCallback audioMaster);
    ~CompressorEffect() override;

    // Channels 0 and 1 of the host's arrays are the left and right channels.
    void process(float** inputs, float** outputs, int32_t sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;

    CompressorEngine* getEngine() { return this; }

private:
    void createEditor();
};

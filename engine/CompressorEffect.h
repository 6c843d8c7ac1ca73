// The compressor as a stereo effect: the effect base faces the host, the
// engine does the work, and the editor (owned by the effect base) shows it.
//
// Hosts see six automatable parameters in the engine's order (power under
// the name Bypass, ratio, threshold, attack, release, make-up gain), named
// and shown in the units the engine's law gives them, and the four factory
// programs. They save and restore the whole state as one chunk
// (StateChunk.h).
//
// Both bases have setParameter and getParameter. They stay apart: the
// engine's serve the editor, whose changes are reported to the host here as
// the engine's edit observer; the host's own reach the engine as
// setHostParameter and getHostParameter (HostParameterEffect.h).
#pragma once

#include "engine/CompressorEngine.h"
#include "engine/StateChunk.h"
#include "host/HostParameterEffect.h"

class CompressorEffect : public HostParameterEffect, public CompressorEngine, private EditObserver {
public:
    explicit CompressorEffect(audioMasterCallback audioMaster);
    ~CompressorEffect() override;

    // Channels 0 and 1 of the host's arrays are the left and right channels.
    void process(float** inputs, float** outputs, int32_t sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;

    // Any thread, the audio thread included: lock-free and allocation-free.
    // An open editor shows the new value at its next idle.
    void setHostParameter(int32_t index, float value) override;
    float getHostParameter(int32_t index) override;
    // The gain reduction the editor's meter shows.
    float getVu() override;

    // Texts of the six parameters, never more than eight bytes.
    void getParamName(int32_t index, char* name) override;
    void getParamLabel(int32_t index, char* label) override;
    void getParamDisplay(int32_t index, char* text) override;
    HostBool canParameterBeAutomated(int32_t index) override;
    int32_t getPlugCategory() override;
    // Hosts ask for program names only from plug-ins that name a later
    // interface version than the first.
    int32_t getVstVersion() override;

    // The factory programs, as the program row shows and chooses them. The
    // program already shown is not loaded again: hosts choose it right after
    // restoring a chunk, whose knob settings must stay. Names stay the
    // factory's.
    int32_t getProgram() override;
    void setProgram(int32_t program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    HostBool getProgramNameIndexed(int32_t category, int32_t index, char* name) override;

    // effGetChunk and effSetChunk, on the host's user-interface thread. A
    // preset is the working values alone; the whole state is everything the
    // panel can reach. The chunk handed out stays valid until the next
    // getChunk or effClose. setChunk answers 1 when the chunk was valid and
    // taken, 0 when it changed nothing. The chunk says itself which kind it
    // is, so a host that loads with the other flag still gets it; but a
    // preset (isPreset set: a host loading one program, or an .fxp) only
    // ever takes the working values, whatever the chunk holds besides.
    int32_t getChunk(void** data, HostBool isPreset) override;
    int32_t setChunk(void* data, int32_t byteSize, HostBool isPreset) override;

    CompressorEngine* getEngine() { return this; }

private:
    void createEditor();
    void postEditorUpdate();

    // The editor's changes, told to the host.
    void editBegun(int32_t index) override;
    void valueEdited(int32_t index, float value) override;
    void editEnded(int32_t index) override;
    void programChanged() override;

    uint8_t chunkBytes[stateChunk::kWholeStateSize];  // what the last getChunk handed out
};

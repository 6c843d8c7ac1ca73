// The stereo peak compressor: six parameters and the coefficients derived
// from them, the gain computer in both processing modes, the gain-reduction
// meter, and the program bank with the panel's program commands.
//
// Two ways lead in. The editor's controls call setParameter, beginEdit and
// endEdit, and every change they make is reported to the edit observer. A
// host's own writes (receiveParameter, selectProgram, restoreState) are taken
// quietly: the host knows them already.
//
// Threads: processing runs on the host's audio thread; the editor's calls,
// the program bank and the state run on the user-interface thread;
// receiveParameter may come from any thread at any time, the audio thread
// included. Every value the threads share is a lock-free atomic, written and
// read whole. Each processing call takes a whole parameter set at its start,
// never half of a program or state being loaded (see takeNewParameters).
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/CompressorListener.h"
#include "engine/CompressorProgram.h"
#include "engine/CompressorState.h"
#include "engine/EditObserver.h"
#include "engine/ParameterIndex.h"

struct StereoRun;

class CompressorEngine {
public:
    CompressorEngine(float sampleRate, int32_t blockSize);
    ~CompressorEngine();
    CompressorEngine(const CompressorEngine&) = delete;
    CompressorEngine& operator=(const CompressorEngine&) = delete;

    virtual void setListener(CompressorListener* listener);
    virtual void storeProgram(int32_t index);
    virtual void loadProgram(int32_t index);
    // The editor's write: a parameter (reported when its value changes) or a
    // program command.
    virtual void setParameter(int32_t index, float value);
    virtual float getParameter(int32_t index);
    virtual float getVu(int32_t channel);
    // Adds the compressed input to the outputs.
    virtual void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                         int32_t sampleFrames);
    // Overwrites the outputs with the compressed input. Inputs and outputs may
    // be the same arrays.
    virtual void processReplacing(const float* inLeft, const float* inRight, float* outLeft,
                                  float* outRight, int32_t sampleFrames);
    virtual void setNumPrograms(int32_t count);
    // For an engine that stands in for another one elsewhere (in a user
    // interface of its own process): shows the gain reduction that one
    // published, as if this one had.
    void showMeterValue(float value) { publishMeter(value); }

    // A control's gesture on a parameter starts and ends; indices other than
    // the six parameters (the program commands) are not reported.
    virtual void beginEdit(int32_t index);
    virtual void endEdit(int32_t index);
    void setEditObserver(EditObserver* observer);

    // A value from outside the editor. Clamped to 0..1; the power switch
    // takes its two positions (below 0.5 on, else bypassed); NaN and indices
    // other than the six parameters are ignored. Lock-free, allocation-free,
    // draws nothing and reports nothing: any thread, the audio thread too.
    void receiveParameter(int32_t index, float value);
    // A program chosen from outside the editor, as the program row chooses
    // one; the program already shown is left as it is, knob settings and all.
    // Tells neither the listener nor the observer.
    void selectProgram(int32_t program);

    int32_t getMeterInterval() const { return meterInterval; }
    float getEnvelope() const { return envelope.load(std::memory_order_relaxed); }
    int32_t getCurrentProgram() const { return currentProgram.load(std::memory_order_relaxed); }
    // False when the bank could not be allocated: the engine then has no
    // programs, and an instance built around it is refused.
    bool hasProgramBank() const { return programBank != nullptr; }

    struct Coefficients {
        float ratioFactor;
        float thresholdLevel;
        float attackCoefficient;
        float releaseCoefficient;
        float makeUpLevel;
    };
    // For the parameters as they stand now.
    Coefficients getCoefficients() const;
    // What the last processing call ran with; read it on the audio thread.
    Coefficients getBlockCoefficients() const { return blockCoefficients; }

    // The whole state a person can see or reach, and its return. Restoring
    // tells no listener: the editor learns of it from its owner, at its next
    // idle. The audio thread takes the working values at its next block.
    CompressorState getState() const;
    void restoreState(const CompressorState& state);

private:
    enum class Mode { Accumulate, Replace };
    void processBlock(const StereoRun& block, Mode mode);
    void takeNewParameters();
    void runCommand(int32_t command);
    void reportProgramChange(const CompressorProgram& before);
    void storeParameter(int32_t index, float value);
    void storeParameters(const CompressorProgram& values);
    void beginParameterWrite();
    void endParameterWrite();
    CompressorProgram workingValues() const;
    void notifyControls();
    void publishMeter(float value);

    using AtomicFloat = std::atomic<float>;
    static_assert(AtomicFloat::is_always_lock_free, "the audio path must not lock");
    static_assert(std::atomic<uint32_t>::is_always_lock_free, "parameter writers must not lock");

    std::atomic<CompressorListener*> listener{nullptr};
    EditObserver* editObserver = nullptr;  // user-interface thread only
    CompressorProgram* programBank = nullptr;
    AtomicFloat parameters[kParameterCount];
    // Writes of parameters counted as they start and as they finish; equal
    // counts around a read mean that no write was under way.
    std::atomic<uint32_t> writesStarted{0};
    std::atomic<uint32_t> writesFinished{0};
    AtomicFloat envelope{0.0f};
    AtomicFloat meterValues[2];
    int32_t meterInterval = 0;
    std::atomic<int32_t> currentProgram{0};
    int32_t programCount = 0;
    bool copySlotFilled = false;

    // The audio thread's own: the parameters it runs with and the count of
    // finished writes they reflect.
    Coefficients blockCoefficients = {};
    bool blockBypass = false;
    uint32_t writesTaken = 0;
    int32_t meterCounter = 0;  // samples since the last meter update
};

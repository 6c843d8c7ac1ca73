// The stereo peak compressor: six parameters and the coefficients derived
// from them, the gain computer in both processing modes, the gain-reduction
// meter, and the program bank with the panel's program commands.
//
// Threads: processing runs on the host's audio thread; parameters, commands
// and the program bank are driven from the user-interface thread. Every value
// the two threads share is a lock-free atomic, written and read whole; a
// processing call reads the coefficients once, at its start.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/CompressorListener.h"
#include "engine/CompressorProgram.h"
#include "engine/CompressorState.h"
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

    int32_t getMeterInterval() const { return meterInterval; }
    float getEnvelope() const { return envelope.load(std::memory_order_relaxed); }
    int32_t getCurrentProgram() const { return currentProgram; }
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
    Coefficients getCoefficients() const;

    // The whole state a person can see or reach, and its return. Restoring
    // tells no listener: the editor learns of it from its owner, at its next
    // idle. The audio thread takes the values at its next block.
    CompressorState getState() const;
    void restoreState(const CompressorState& state);

private:
    enum class Mode { Accumulate, Replace };
    void processBlock(const StereoRun& block, Mode mode);
    void runCommand(int32_t command);
    void recomputeCoefficients();
    void notifyControls();
    void publishMeter(float value);

    using AtomicFloat = std::atomic<float>;
    static_assert(AtomicFloat::is_always_lock_free, "the audio path must not lock");

    std::atomic<CompressorListener*> listener{nullptr};
    CompressorProgram* programBank = nullptr;
    AtomicFloat parameters[kParameterCount];
    AtomicFloat ratioFactor{0.0f};
    AtomicFloat thresholdLevel{0.0f};
    AtomicFloat attackCoefficient{0.0f};
    AtomicFloat releaseCoefficient{0.0f};
    AtomicFloat makeUpLevel{0.0f};
    AtomicFloat envelope{0.0f};
    AtomicFloat meterValues[2];
    int32_t meterInterval = 0;
    int32_t meterCounter = 0;  // samples since the last meter update; audio thread only
    int32_t programCount = 0;
    int32_t currentProgram = 0;
    bool copySlotFilled = false;
};

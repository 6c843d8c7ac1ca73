#include "engine/CompressorEngine.h"

#include "engine/Allocation.h"
#include "engine/CoefficientMapping.h"
#include "engine/DenormalGuard.h"
#include "engine/FactoryPrograms.h"
#include "engine/GainComputer.h"

namespace {

constexpr std::memory_order relaxed = std::memory_order_relaxed;

// The meter is updated every 20 ms of audio at the rate known at
// construction. The factor is the float nearest 0.02, multiplied in double.
constexpr float kMeterPeriodSeconds = 0.02f;

int32_t meterIntervalFor(float sampleRate) {
    return static_cast<int32_t>(static_cast<double>(sampleRate) * static_cast<double>(kMeterPeriodSeconds));
}

}  // namespace

CompressorEngine::CompressorEngine(float sampleRate, int32_t /*blockSize*/)
    : meterInterval(meterIntervalFor(sampleRate)) {
    for (AtomicFloat& parameter : parameters) parameter.store(0.0f, relaxed);
    for (AtomicFloat& value : meterValues) value.store(0.0f, relaxed);
    setNumPrograms(kFactoryProgramCount);
    loadProgram(0);
}

CompressorEngine::~CompressorEngine() { delete[] programBank; }

void CompressorEngine::setListener(CompressorListener* newListener) {
    listener.store(newListener, std::memory_order_release);
}

void CompressorEngine::setNumPrograms(int32_t count) {
    if (count < 1) count = 1;
    delete[] programBank;
    programBank = allocateArray<CompressorProgram>(count + 1);
    programCount = count;
    currentProgram = 0;

    // Each factory program passes through the live parameters into its
    // record, then the copy slot is filled with zeros the same way.
    for (int32_t program = 0; program < kFactoryProgramCount && program < count; ++program) {
        for (int32_t k = 0; k < kParameterCount; ++k) parameters[k].store(factoryPrograms[program][k], relaxed);
        storeProgram(program);
    }
    for (AtomicFloat& parameter : parameters) parameter.store(0.0f, relaxed);
    storeProgram(count);
    copySlotFilled = false;
}

void CompressorEngine::storeProgram(int32_t index) {
    if (!programBank || index < 0 || index > programCount) return;
    for (int32_t k = 0; k < kParameterCount; ++k) programBank[index].values[k] = getParameter(k);
}

void CompressorEngine::loadProgram(int32_t index) {
    if (!programBank || index < 0 || index > programCount) return;
    for (int32_t k = 0; k < kParameterCount; ++k) setParameter(k, programBank[index].values[k]);
    notifyControls();
}

void CompressorEngine::setParameter(int32_t index, float value) {
    if (index >= 0 && index < kParameterCount) {
        parameters[index].store(value, relaxed);
    } else if (index >= kResetCommand && index <= kRefreshCommand) {
        runCommand(index);
    }
    recomputeCoefficients();
}

float CompressorEngine::getParameter(int32_t index) {
    if (index >= 0 && index < kParameterCount) return parameters[index].load(relaxed);
    if (index == kProgramPosition) {
        if (programCount < 2) return 0.0f;
        return static_cast<float>(static_cast<double>(currentProgram) / static_cast<double>(programCount - 1));
    }
    return 0.0f;
}

float CompressorEngine::getVu(int32_t channel) {
    if (channel == 0 || channel == 1) return meterValues[channel].load(relaxed);
    return 0.0f;
}

void CompressorEngine::runCommand(int32_t command) {
    switch (command) {
    case kResetCommand:
        loadProgram(currentProgram);
        break;
    case kCopyCommand:
        storeProgram(programCount);
        copySlotFilled = true;
        notifyControls();
        break;
    case kPasteCommand:
        loadProgram(programCount);
        break;
    case kNextCommand:
        currentProgram = currentProgram < programCount - 1 ? currentProgram + 1 : 0;
        loadProgram(currentProgram);
        break;
    case kPreviousCommand:
        currentProgram = currentProgram > 0 ? currentProgram - 1 : programCount - 1;
        loadProgram(currentProgram);
        break;
    case kRefreshCommand:
        notifyControls();
        break;
    }
}

void CompressorEngine::recomputeCoefficients() {
    using namespace coefficientMapping;
    ratioFactor.store(parameters[kRatio].load(relaxed), relaxed);
    thresholdLevel.store(static_cast<float>(coefficientMapping::thresholdLevel.at(parameters[kThreshold].load(relaxed))), relaxed);
    attackCoefficient.store(static_cast<float>(coefficientMapping::attackCoefficient.at(parameters[kAttack].load(relaxed))), relaxed);
    releaseCoefficient.store(static_cast<float>(1.0 - releaseComplement.at(parameters[kRelease].load(relaxed))), relaxed);
    makeUpLevel.store(static_cast<float>(coefficientMapping::makeUpLevel.at(parameters[kMakeUpGain].load(relaxed))), relaxed);
}

CompressorEngine::Coefficients CompressorEngine::getCoefficients() const {
    return Coefficients{ratioFactor.load(relaxed), thresholdLevel.load(relaxed), attackCoefficient.load(relaxed),
                        releaseCoefficient.load(relaxed), makeUpLevel.load(relaxed)};
}

void CompressorEngine::notifyControls() {
    if (CompressorListener* current = listener.load(std::memory_order_acquire)) current->updateControls();
}

void CompressorEngine::publishMeter(float value) {
    meterValues[0].store(value, relaxed);
    if (CompressorListener* current = listener.load(std::memory_order_acquire)) current->updateMeter();
}

void CompressorEngine::process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                               int32_t sampleFrames) {
    processBlock(StereoRun{inLeft, inRight, outLeft, outRight, sampleFrames}, Mode::Accumulate);
}

void CompressorEngine::processReplacing(const float* inLeft, const float* inRight, float* outLeft,
                                        float* outRight, int32_t sampleFrames) {
    processBlock(StereoRun{inLeft, inRight, outLeft, outRight, sampleFrames}, Mode::Replace);
}

// Runs the block in stretches that end at the meter points, so the per-sample
// loops carry no meter bookkeeping. The meter counts samples across calls:
// counted within each call, the meter would never move for a host whose
// blocks are shorter than the interval, which is most hosts.
void CompressorEngine::processBlock(const StereoRun& block, Mode mode) {
    if (block.frames <= 0 || !block.inLeft || !block.inRight || !block.outLeft || !block.outRight) return;
    DenormalGuard denormalGuard;

    const bool bypass = parameters[kPower].load(relaxed) != 0.0f;
    const int32_t interval = meterInterval;
    GainComputer computer{ratioFactor.load(relaxed),       thresholdLevel.load(relaxed),
                          attackCoefficient.load(relaxed), releaseCoefficient.load(relaxed),
                          makeUpLevel.load(relaxed),       envelope.load(relaxed)};

    int32_t counter = meterCounter;
    for (int32_t start = 0; start < block.frames;) {
        int32_t frames = block.frames - start;
        if (interval > 0 && frames > interval - counter) frames = interval - counter;
        const StereoRun run{block.inLeft + start, block.inRight + start, block.outLeft + start,
                            block.outRight + start, frames};
        if (bypass) {
            mode == Mode::Accumulate ? copyThrough<true>(run) : copyThrough<false>(run);
        } else {
            mode == Mode::Accumulate ? computer.compress<true>(run) : computer.compress<false>(run);
        }
        start += frames;
        counter += frames;
        if (counter == interval) {
            publishMeter(bypass ? 0.0f : computer.meterValue());
            counter = 0;
        }
    }

    meterCounter = counter;

    // Bypass leaves the envelope where it was, to resume from there. A
    // coefficient far outside the knobs' range could still overflow it;
    // never carry that into the next call.
    if (!bypass) envelope.store(std::isfinite(computer.envelope) ? computer.envelope : 0.0f, relaxed);
}

CompressorState CompressorEngine::getState() const {
    CompressorState state;
    state.currentProgram = currentProgram;
    for (int32_t k = 0; k < kParameterCount; ++k) state.working.values[k] = parameters[k].load(relaxed);
    if (programBank) {
        for (int32_t program = 0; program < kFactoryProgramCount && program < programCount; ++program)
            state.programs[program] = programBank[program];
        state.copySlot = programBank[programCount];
        state.copySlotFilled = copySlotFilled;
    } else {
        for (float& value : state.copySlot.values) value = 0.0f;
    }
    return state;
}

// The working values are stored one by one, as a program load stores them;
// a block that starts in between runs once with a mix of old and new.
void CompressorEngine::restoreState(const CompressorState& state) {
    if (programBank) {
        for (int32_t program = 0; program < kFactoryProgramCount && program < programCount; ++program)
            programBank[program] = state.programs[program];
        programBank[programCount] = state.copySlot;
        copySlotFilled = state.copySlotFilled;
    }
    if (state.currentProgram >= 0 && state.currentProgram < programCount) currentProgram = state.currentProgram;
    for (int32_t k = 0; k < kParameterCount; ++k) parameters[k].store(state.working.values[k], relaxed);
    recomputeCoefficients();
}

#include "engine/CompressorEngine.h"

#include "engine/Allocation.h"
#include "engine/CoefficientMapping.h"
#include "engine/DenormalGuard.h"
#include "engine/FactoryPrograms.h"
#include "engine/GainComputer.h"

#include <cmath>

namespace {

constexpr std::memory_order relaxed = std::memory_order_relaxed;

// The meter is updated every 20 ms of audio at the rate known at
// construction. The factor is the float nearest 0.02, multiplied in double.
constexpr float kMeterPeriodSeconds = 0.02f;

int32_t meterIntervalFor(float sampleRate) {
    return static_cast<int32_t>(static_cast<double>(sampleRate) * static_cast<double>(kMeterPeriodSeconds));
}

// Where the power switch stands when it bypasses: its second position.
constexpr float kBypassPosition = 0.5f;

CompressorEngine::Coefficients coefficientsFor(const CompressorProgram& program) {
    using namespace coefficientMapping;
    const float* values = program.values;
    return CompressorEngine::Coefficients{
        values[kRatio],
        static_cast<float>(thresholdLevel.at(values[kThreshold])),
        static_cast<float>(attackCoefficient.at(values[kAttack])),
        static_cast<float>(1.0 - releaseComplement.at(values[kRelease])),
        static_cast<float>(makeUpLevel.at(values[kMakeUpGain])),
    };
}

}  // namespace

// The bank is built and program 0 loaded; the first block then runs with
// what the constructor's thread computed, as every later block runs with
// what it takes itself.
CompressorEngine::CompressorEngine(float sampleRate, int32_t /*blockSize*/)
    : meterInterval(meterIntervalFor(sampleRate)) {
    for (AtomicFloat& parameter : parameters) parameter.store(0.0f, relaxed);
    for (AtomicFloat& value : meterValues) value.store(0.0f, relaxed);
    setNumPrograms(kFactoryProgramCount);
    loadProgram(0);
    takeNewParameters();
}

CompressorEngine::~CompressorEngine() { delete[] programBank; }

void CompressorEngine::setListener(CompressorListener* newListener) {
    listener.store(newListener, std::memory_order_release);
}

void CompressorEngine::setEditObserver(EditObserver* observer) { editObserver = observer; }

// The factory programs go into their records, the copy slot holds zeros, and
// so do the live parameters until a program is loaded.
void CompressorEngine::setNumPrograms(int32_t count) {
    if (count < 1) count = 1;
    delete[] programBank;
    programBank = allocateArray<CompressorProgram>(count + 1);
    programCount = count;
    currentProgram.store(0, relaxed);
    copySlotFilled = false;

    CompressorProgram zeros;
    for (float& value : zeros.values) value = 0.0f;
    storeParameters(zeros);
    if (!programBank) return;
    for (int32_t program = 0; program < kFactoryProgramCount && program < count; ++program) {
        for (int32_t k = 0; k < kParameterCount; ++k) programBank[program].values[k] = factoryPrograms[program][k];
    }
    programBank[count] = zeros;
}

void CompressorEngine::storeProgram(int32_t index) {
    if (!programBank || index < 0 || index > programCount) return;
    programBank[index] = workingValues();
}

// All six values at once: the audio thread takes the program whole.
void CompressorEngine::loadProgram(int32_t index) {
    if (!programBank || index < 0 || index > programCount) return;
    storeParameters(programBank[index]);
    notifyControls();
}

// A knob writes on every mouse message; only a new value is stored and
// reported.
void CompressorEngine::setParameter(int32_t index, float value) {
    if (index >= 0 && index < kParameterCount) {
        if (parameters[index].load(relaxed) == value) return;
        storeParameter(index, value);
        if (editObserver) editObserver->valueEdited(index, value);
    } else if (index >= kResetCommand && index <= kRefreshCommand) {
        runCommand(index);
    }
}

float CompressorEngine::getParameter(int32_t index) {
    if (index >= 0 && index < kParameterCount) return parameters[index].load(relaxed);
    if (index == kProgramPosition) {
        if (programCount < 2) return 0.0f;
        return static_cast<float>(static_cast<double>(getCurrentProgram()) / static_cast<double>(programCount - 1));
    }
    return 0.0f;
}

float CompressorEngine::getVu(int32_t channel) {
    if (channel == 0 || channel == 1) return meterValues[channel].load(relaxed);
    return 0.0f;
}

void CompressorEngine::beginEdit(int32_t index) {
    if (index >= 0 && index < kParameterCount && editObserver) editObserver->editBegun(index);
}

void CompressorEngine::endEdit(int32_t index) {
    if (index >= 0 && index < kParameterCount && editObserver) editObserver->editEnded(index);
}

void CompressorEngine::receiveParameter(int32_t index, float value) {
    if (index < 0 || index >= kParameterCount || std::isnan(value)) return;
    value = value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value;
    if (index == kPower) value = value < 0.5f ? 0.0f : kBypassPosition;
    // Hosts that send every value again with every block cost the audio
    // thread nothing then.
    if (parameters[index].load(relaxed) != value) storeParameter(index, value);
}

void CompressorEngine::selectProgram(int32_t program) {
    if (!programBank || program < 0 || program >= programCount || program == getCurrentProgram()) return;
    currentProgram.store(program, relaxed);
    storeParameters(programBank[program]);
}

void CompressorEngine::runCommand(int32_t command) {
    const CompressorProgram before = workingValues();
    const int32_t current = getCurrentProgram();
    switch (command) {
    case kResetCommand:
        loadProgram(current);
        break;
    case kCopyCommand:
        storeProgram(programCount);
        copySlotFilled = true;
        notifyControls();
        return;
    case kPasteCommand:
        loadProgram(programCount);
        break;
    case kNextCommand:
        currentProgram.store(current < programCount - 1 ? current + 1 : 0, relaxed);
        loadProgram(getCurrentProgram());
        break;
    case kPreviousCommand:
        currentProgram.store(current > 0 ? current - 1 : programCount - 1, relaxed);
        loadProgram(getCurrentProgram());
        break;
    case kRefreshCommand:
        notifyControls();
        return;
    }
    reportProgramChange(before);
}

// Hosts learn each value a program command moved, then that the program
// changed (its name among them).
void CompressorEngine::reportProgramChange(const CompressorProgram& before) {
    if (!editObserver) return;
    const CompressorProgram after = workingValues();
    for (int32_t k = 0; k < kParameterCount; ++k) {
        if (after.values[k] != before.values[k]) editObserver->valueEdited(k, after.values[k]);
    }
    editObserver->programChanged();
}

// Parameter writes. A writer counts its write as started, stores, and counts
// it as finished; the release fence keeps the stores behind the first count,
// where takeNewParameters looks for them.
void CompressorEngine::beginParameterWrite() {
    writesStarted.fetch_add(1, relaxed);
    std::atomic_thread_fence(std::memory_order_release);
}

void CompressorEngine::endParameterWrite() { writesFinished.fetch_add(1, std::memory_order_release); }

void CompressorEngine::storeParameter(int32_t index, float value) {
    beginParameterWrite();
    parameters[index].store(value, relaxed);
    endParameterWrite();
}

void CompressorEngine::storeParameters(const CompressorProgram& values) {
    beginParameterWrite();
    for (int32_t k = 0; k < kParameterCount; ++k) parameters[k].store(values.values[k], relaxed);
    endParameterWrite();
}

CompressorProgram CompressorEngine::workingValues() const {
    CompressorProgram values;
    for (int32_t k = 0; k < kParameterCount; ++k) values.values[k] = parameters[k].load(relaxed);
    return values;
}

CompressorEngine::Coefficients CompressorEngine::getCoefficients() const {
    return coefficientsFor(workingValues());
}

// At the start of a block, on the audio thread: the parameters are read only
// when a write has finished since the last read, and taken only when no
// write was under way while they were read (every write finished before the
// read began, and no other had started by its end). Otherwise the block
// runs with what the last one had, and the next block looks again: nothing
// waits, and nothing is lost, since the parameters themselves always end
// with the last value written. The coefficients are computed here, with the
// same operations as ever, so a block's are exactly those of its parameters.
void CompressorEngine::takeNewParameters() {
    const uint32_t finished = writesFinished.load(std::memory_order_acquire);
    if (finished == writesTaken) return;
    const CompressorProgram values = workingValues();
    std::atomic_thread_fence(std::memory_order_acquire);
    if (writesStarted.load(relaxed) != finished) return;
    blockCoefficients = coefficientsFor(values);
    blockBypass = values.values[kPower] != 0.0f;
    writesTaken = finished;
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
    // Before the guard: the coefficients come out as they would on any
    // other thread.
    takeNewParameters();
    DenormalGuard denormalGuard;

    const bool bypass = blockBypass;
    const int32_t interval = meterInterval;
    const Coefficients& c = blockCoefficients;
    GainComputer computer{c.ratioFactor,        c.thresholdLevel, c.attackCoefficient,
                          c.releaseCoefficient, c.makeUpLevel,    envelope.load(relaxed)};

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
    state.currentProgram = getCurrentProgram();
    state.working = workingValues();
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

void CompressorEngine::restoreState(const CompressorState& state) {
    if (programBank) {
        for (int32_t program = 0; program < kFactoryProgramCount && program < programCount; ++program)
            programBank[program] = state.programs[program];
        programBank[programCount] = state.copySlot;
        copySlotFilled = state.copySlotFilled;
    }
    if (state.currentProgram >= 0 && state.currentProgram < programCount) currentProgram.store(state.currentProgram, relaxed);
    storeParameters(state.working);
}

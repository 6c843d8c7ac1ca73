#include "engine/StateChunk.h"

#include <cstring>

namespace stateChunk {

namespace {

// Byte by byte, so the order is little-endian whatever the machine's.
void putNumber(uint8_t* bytes, uint32_t offset, uint32_t value) {
    for (uint32_t i = 0; i < kNumberSize; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t getNumber(const uint8_t* bytes, uint32_t offset) {
    uint32_t value = 0;
    for (uint32_t i = 0; i < kNumberSize; ++i) value |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    return value;
}

void putProgram(uint8_t* bytes, uint32_t offset, const CompressorProgram& program) {
    for (int32_t k = 0; k < kParameterCount; ++k) {
        uint32_t bits = 0;
        std::memcpy(&bits, &program.values[k], sizeof bits);
        putNumber(bytes, offset + k * kNumberSize, bits);
    }
}

// Every value a knob or the switch can hold lies in 0..1; NaN, infinities
// and anything outside come from a damaged chunk.
bool getProgram(const uint8_t* bytes, uint32_t offset, CompressorProgram& program) {
    for (int32_t k = 0; k < kParameterCount; ++k) {
        const uint32_t bits = getNumber(bytes, offset + k * kNumberSize);
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        if (!(value >= 0.0f && value <= 1.0f)) return false;
        program.values[k] = value;
    }
    return true;
}

bool isEmpty(const CompressorProgram& program) {
    for (float value : program.values) {
        if (value != 0.0f) return false;
    }
    return true;
}

bool readHeader(const uint8_t* bytes, uint32_t size, uint32_t& contents) {
    if (size < kWorkingValuesSize) return false;
    if (std::memcmp(bytes + kMagic.offset, kMagicText, kMagic.size) != 0) return false;
    // Version 1 is the first there is: older numbers do not exist, newer
    // ones are refused (see the header).
    if (getNumber(bytes, kVersion.offset) != kFormatVersion) return false;
    contents = getNumber(bytes, kContents.offset);
    if (contents == kWholeState) return size == kWholeStateSize;
    if (contents == kWorkingValuesOnly) return size == kWorkingValuesSize;
    return false;
}

// The fields only a whole-state chunk has. An empty copy slot holds the
// zeros of a new instance; anything else there means damage.
bool readBank(const uint8_t* bytes, CompressorState& state) {
    const uint32_t program = getNumber(bytes, kCurrentProgram.offset);
    if (program >= static_cast<uint32_t>(kFactoryProgramCount)) return false;
    state.currentProgram = static_cast<int32_t>(program);
    for (int32_t index = 0; index < kFactoryProgramCount; ++index) {
        if (!getProgram(bytes, kStoredPrograms.offset + index * kProgramSize, state.programs[index])) return false;
    }
    const uint32_t filled = getNumber(bytes, kCopySlotFilled.offset);
    if (filled > 1) return false;
    state.copySlotFilled = filled == 1;
    if (!getProgram(bytes, kCopySlot.offset, state.copySlot)) return false;
    return state.copySlotFilled || isEmpty(state.copySlot);
}

}  // namespace

uint32_t write(const CompressorState& state, Contents contents, uint8_t* bytes) {
    std::memcpy(bytes + kMagic.offset, kMagicText, kMagic.size);
    putNumber(bytes, kVersion.offset, kFormatVersion);
    putNumber(bytes, kContents.offset, contents);
    putProgram(bytes, kWorkingValues.offset, state.working);
    if (contents == kWorkingValuesOnly) return kWorkingValuesSize;

    putNumber(bytes, kCurrentProgram.offset, static_cast<uint32_t>(state.currentProgram));
    for (int32_t index = 0; index < kFactoryProgramCount; ++index)
        putProgram(bytes, kStoredPrograms.offset + index * kProgramSize, state.programs[index]);
    putNumber(bytes, kCopySlotFilled.offset, state.copySlotFilled ? 1 : 0);
    putProgram(bytes, kCopySlot.offset, state.copySlot);
    return kWholeStateSize;
}

// Everything is read into a copy first; `state` changes only once all of
// the chunk has passed.
bool read(const uint8_t* bytes, uint32_t size, CompressorState& state) {
    uint32_t contents = 0;
    if (!bytes || !readHeader(bytes, size, contents)) return false;
    CompressorState restored = state;
    if (!getProgram(bytes, kWorkingValues.offset, restored.working)) return false;
    if (contents == kWholeState && !readBank(bytes, restored)) return false;
    state = restored;
    return true;
}

}  // namespace stateChunk

// The compressor's state as the bytes a host keeps for it: in a saved
// session, a preset file, an undo step or a copy of the plug-in. Hosts store
// the bytes without looking inside, so the format is ours; this is the one
// place that defines it.
//
// Every number is a little-endian 32-bit field, values are IEEE floats, and
// nothing depends on the build: the 32-bit and 64-bit DLLs and the Linux
// library write the same bytes, and a song saved with one loads with another.
//
//   offset  size  field
//        0     4  magic "ZQ3S"
//        4     4  format version, 1
//        8     4  contents: 0 the whole state, 1 the working values alone
//       12    24  working values: power, ratio, threshold, attack, release,
//                 make-up gain
//                 (a working-values chunk ends here: 36 bytes)
//       36     4  current program, 0 to 3
//       40    96  the four stored programs, six values each, in that order
//      136     4  copy slot filled: 1 once Copy has been pressed, else 0
//      140    24  the copy slot's six values
//                 (a whole-state chunk ends here: 164 bytes)
//
// Versions. A later format keeps these fields where they are, appends its
// own and raises the version; it reads a chunk of an older version for the
// fields that version has and leaves the rest as they are. A chunk of a newer
// version than the reader's is refused, since what its fields mean cannot be
// known. Version 1 is the first, so this reader takes version 1 alone.
#pragma once

#include <cstdint>
#include <limits>

#include "engine/CompressorState.h"

namespace stateChunk {

struct Field {
    uint32_t offset;
    uint32_t size;

    constexpr uint32_t end() const { return offset + size; }
};

constexpr uint32_t kNumberSize = 4;
constexpr uint32_t kProgramSize = kParameterCount * kNumberSize;

constexpr Field kMagic{0, 4};
constexpr Field kVersion{kMagic.end(), kNumberSize};
constexpr Field kContents{kVersion.end(), kNumberSize};
constexpr Field kWorkingValues{kContents.end(), kProgramSize};
constexpr Field kCurrentProgram{kWorkingValues.end(), kNumberSize};
constexpr Field kStoredPrograms{kCurrentProgram.end(), kFactoryProgramCount * kProgramSize};
constexpr Field kCopySlotFilled{kStoredPrograms.end(), kNumberSize};
constexpr Field kCopySlot{kCopySlotFilled.end(), kProgramSize};

constexpr uint32_t kWorkingValuesSize = kWorkingValues.end();
constexpr uint32_t kWholeStateSize = kCopySlot.end();

// The offsets of the table above, as hosts find them in saved sessions.
static_assert(kVersion.offset == 4 && kContents.offset == 8, "header");
static_assert(kWorkingValues.offset == 12 && kWorkingValues.size == 24, "working values");
static_assert(kWorkingValuesSize == 36, "working-values chunk");
static_assert(kCurrentProgram.offset == 36, "current program");
static_assert(kStoredPrograms.offset == 40 && kStoredPrograms.size == 96, "stored programs");
static_assert(kCopySlotFilled.offset == 136, "copy slot filled");
static_assert(kCopySlot.offset == 140 && kCopySlot.size == 24, "copy slot");
static_assert(kWholeStateSize == 164, "whole-state chunk");
static_assert(sizeof(float) == kNumberSize && std::numeric_limits<float>::is_iec559, "values are IEEE floats");

constexpr char kMagicText[4] = {'Z', 'Q', '3', 'S'};
constexpr uint32_t kFormatVersion = 1;

enum Contents : uint32_t {
    kWholeState = 0,
    kWorkingValuesOnly = 1,
};

// Writes the chunk into `bytes` (room for kWholeStateSize) and returns its size.
uint32_t write(const CompressorState& state, Contents contents, uint8_t* bytes);

// Checks all of a chunk before it takes anything from it. A valid one sets
// what it holds in `state` (the working values alone, or everything) and
// returns true; any other byte sequence returns false and leaves `state` as
// it was.
bool read(const uint8_t* bytes, uint32_t size, CompressorState& state);

}  // namespace stateChunk

// The index shared by the engine and the panel's controls: six parameters,
// six program commands and the read-only program position.
#pragma once

#include <cstdint>

enum ParameterIndex : int32_t {
    kPower = 0,        // 0: compressor on; anything else: bypass
    kRatio = 1,
    kThreshold = 2,
    kAttack = 3,
    kRelease = 4,
    kMakeUpGain = 5,
    kParameterCount = 6,

    kResetCommand = 6,
    kCopyCommand = 7,
    kPasteCommand = 8,
    kNextCommand = 9,
    kPreviousCommand = 10,
    kRefreshCommand = 11,
    kProgramPosition = 12,
};

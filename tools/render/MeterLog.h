// --meter-csv: the gain-reduction values the engine publishes to its meter,
// one row per meter interval, with the time of publication in seconds.
//
// A host cannot read the meter (the record reports none), so the engine is
// read directly, and only where it publishes: the engine counts its meter
// interval across processing calls from the first frame processed, so the
// render ends a call at every multiple of the interval and reads the value
// right after it. Splitting the calls changes nothing in the audio.
#pragma once

#include <cstdint>
#include <string>

#include "tools/render/ProcessingBreak.h"
#include "tools/render/TextOutputFile.h"

class CompressorEngine;

class MeterLog : public ProcessingBreak {
public:
    // Writes its header at once; `sampleRate` is the stream's, for the times.
    MeterLog(CompressorEngine& engine, int sampleRate, TextOutputFile& file);

    int64_t nextBreak(int64_t position) const override;
    bool reached(int64_t position, std::string& error) override;

    int64_t rows() const { return rowCount; }

private:
    CompressorEngine& engine;
    int32_t interval;
    int sampleRate;
    TextOutputFile& file;
    int64_t rowCount = 0;
};

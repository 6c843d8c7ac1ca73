// The ZQ3R Compressor linked into this program, seen from inside: the engine
// and the editor's panel behind its record.
//
// A host reaches neither: the record reports no parameters and no meter
// (effGetVu answers 0 by design). The renderer built this plug-in in, so it
// knows what the record's object is, and reads what a person reads off the
// panel: the values the knobs wrote, the meter's gain-reduction value, where
// each control sits and which picture it should show. It never writes
// through here; every setting goes through the editor's window.
#pragma once

#include "host/AEffect.h"

class CompressorEngine;
class CompressorPanel;

class LinkedCompressor {
public:
    // `record` must come from the linked-in plug-in's entry point.
    explicit LinkedCompressor(AEffect* record);

    CompressorEngine& engine() const { return *compressorEngine; }
    const CompressorPanel& panel() const { return *compressorPanel; }

private:
    CompressorEngine* compressorEngine;
    const CompressorPanel* compressorPanel;
};

// The state chunk as a host saves and loads it, run the same way against the
// Windows DLL and the native library: a new instance's whole state and
// preset, and a state loaded into another instance with effSetChunk and
// handed back. A song saved on one machine must load on any other, so the
// native library's bytes are the reference every DLL must reproduce exactly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "HostSession.h"

struct ChunkOutput {
    std::vector<uint8_t> factoryState;
    std::vector<uint8_t> factoryPreset;
    std::vector<uint8_t> restoredState;
    std::vector<uint8_t> restoredPreset;
};

// Returns "" or what went wrong.
std::string runChunkSession(EntryPoint entry, ChunkOutput& output);

std::string writeChunkReference(const std::string& path, const ChunkOutput& output);
std::string readChunkReference(const std::string& path, ChunkOutput& output);

// "" when both hold the same bytes, otherwise which chunk differs.
std::string chunkDifference(const ChunkOutput& output, const ChunkOutput& reference);

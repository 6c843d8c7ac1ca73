#include "ChunkSession.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "engine/StateChunk.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct NamedChunk {
    const char* name;
    Bytes ChunkOutput::*bytes;
};

const NamedChunk kChunks[] = {
    {"factory-state", &ChunkOutput::factoryState},
    {"factory-preset", &ChunkOutput::factoryPreset},
    {"restored-state", &ChunkOutput::restoredState},
    {"restored-preset", &ChunkOutput::restoredPreset},
};

// Every part of the state away from a new instance's: the third program,
// the compressor bypassed, the knobs off their factory values, the copy
// slot filled.
CompressorState sessionState() {
    CompressorState state;
    state.currentProgram = 2;
    const float working[kParameterCount] = {0.5f, 0.125f, 0.875f, 0.3f, 0.7f, 0.05f};
    const float copied[kParameterCount] = {0.0f, 0.25f, 0.75f, 1.0f, 0.5f, 0.2f};
    for (int32_t k = 0; k < kParameterCount; ++k) {
        state.working.values[k] = working[k];
        state.copySlot.values[k] = copied[k];
    }
    for (int32_t program = 0; program < kFactoryProgramCount; ++program) {
        for (int32_t k = 0; k < kParameterCount; ++k) state.programs[program].values[k] = factoryPrograms[program][k];
    }
    state.copySlotFilled = true;
    return state;
}

Bytes getChunk(AEffect* record, bool preset) {
    void* data = nullptr;
    const intptr_t size = record->dispatcher(record, effGetChunk, preset ? 1 : 0, 0, &data, 0.0f);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return size > 0 && bytes ? Bytes(bytes, bytes + size) : Bytes();
}

std::string hexText(const Bytes& bytes) {
    std::string text;
    char pair[3];
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0 && i % stateChunk::kNumberSize == 0) text += ' ';
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        text += pair;
    }
    return text;
}

bool parseHex(std::istream& words, Bytes& bytes) {
    bytes.clear();
    std::string word;
    while (words >> word) {
        if (word.size() % 2 != 0) return false;
        for (size_t i = 0; i < word.size(); i += 2) {
            unsigned value = 0;
            if (std::sscanf(word.c_str() + i, "%2x", &value) != 1) return false;
            bytes.push_back(static_cast<uint8_t>(value));
        }
    }
    return true;
}

}  // namespace

std::string runChunkSession(EntryPoint entry, ChunkOutput& output) {
    AEffect* fresh = entry(sessionHostCallback);
    if (!fresh) return "the entry point returned no record";
    output.factoryState = getChunk(fresh, false);
    output.factoryPreset = getChunk(fresh, true);
    fresh->dispatcher(fresh, effClose, 0, 0, nullptr, 0.0f);

    uint8_t saved[stateChunk::kWholeStateSize];
    const uint32_t size = stateChunk::write(sessionState(), stateChunk::kWholeState, saved);
    AEffect* restored = entry(sessionHostCallback);
    if (!restored) return "the entry point returned no record";
    const intptr_t taken = restored->dispatcher(restored, effSetChunk, 0, size, saved, 0.0f);
    output.restoredState = getChunk(restored, false);
    output.restoredPreset = getChunk(restored, true);
    restored->dispatcher(restored, effClose, 0, 0, nullptr, 0.0f);
    if (taken != 1) return "effSetChunk refused a valid state";
    if (output.restoredState != Bytes(saved, saved + size)) return "effGetChunk gave back other bytes than it took";
    return "";
}

std::string writeChunkReference(const std::string& path, const ChunkOutput& output) {
    std::ofstream file(path);
    if (!file) return "cannot write " + path;
    file << "# The state chunks of the native library for the session of ChunkSession.cpp, in hex.\n";
    for (const NamedChunk& chunk : kChunks) file << chunk.name << ' ' << hexText(output.*chunk.bytes) << '\n';
    return file.flush() ? "" : "cannot write " + path;
}

std::string readChunkReference(const std::string& path, ChunkOutput& output) {
    std::vector<std::string> lines;
    const std::string problem = readReferenceLines(path, lines);
    if (!problem.empty()) return problem;
    output = ChunkOutput();
    for (const std::string& line : lines) {
        std::istringstream words(line);
        std::string name;
        words >> name;
        const NamedChunk* known = nullptr;
        for (const NamedChunk& chunk : kChunks) known = name == chunk.name ? &chunk : known;
        if (!known || !parseHex(words, output.*known->bytes)) return path + ": unreadable line \"" + line + "\"";
    }
    return "";
}

std::string chunkDifference(const ChunkOutput& output, const ChunkOutput& reference) {
    for (const NamedChunk& chunk : kChunks) {
        if (output.*chunk.bytes != reference.*chunk.bytes)
            return std::string("the ") + chunk.name + " chunk is " + hexText(output.*chunk.bytes) + " where the native library's is " +
                   hexText(reference.*chunk.bytes);
    }
    return "";
}

// A compressor engine that remembers what the controls write, can be told
// what to answer for a parameter or the meter, and lets a test look at the
// controls at the moment of a write.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <vector>

#include "engine/CompressorEngine.h"

struct ParameterWrite {
    int32_t index;
    float value;
    bool operator==(const ParameterWrite& other) const { return index == other.index && value == other.value; }
};

inline std::ostream& operator<<(std::ostream& out, const ParameterWrite& write) {
    return out << "(" << write.index << ", " << write.value << ")";
}

class RecordingEngine : public CompressorEngine {
public:
    RecordingEngine() : CompressorEngine(44100.0f, 1024) {}

    // Only the controls' writes: a program command's own loading of the
    // parameters is part of the command.
    void setParameter(int32_t index, float value) override {
        const bool fromOutside = depth++ == 0;
        if (fromOutside) {
            writes.push_back(ParameterWrite{index, value});
            if (onWrite) onWrite(index, value);
        }
        CompressorEngine::setParameter(index, value);
        --depth;
    }
    float getParameter(int32_t index) override {
        auto answer = answers.find(index);
        return answer != answers.end() ? answer->second : CompressorEngine::getParameter(index);
    }
    float getVu(int32_t channel) override {
        ++vuReads;
        return vu;
    }

    std::vector<ParameterWrite> writes;
    std::function<void(int32_t, float)> onWrite;
    std::map<int32_t, float> answers;
    float vu = 0.0f;
    int vuReads = 0;

private:
    int depth = 0;
};

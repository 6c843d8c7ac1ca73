#include "HostSession.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "ProductVersion.h"

namespace {

// Loud and quiet stretches of noise and a ramp, computed in integers and exact
// float steps so that every platform makes the same samples.
void sessionSignal(std::vector<float>& left, std::vector<float>& right) {
    const float levels[] = {0.02f, 0.9f, 0.3f, 1.8f, 0.05f, 0.6f, 0.01f, 1.2f};
    left.resize(SessionFormat::frames);
    right.resize(SessionFormat::frames);
    uint32_t seed = 20240611u;
    for (int32_t i = 0; i < SessionFormat::frames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
        const float ramp = static_cast<float>(i % 128) / 64.0f - 1.0f;
        const float level = levels[(i / 256) % 8];
        left[i] = level * (0.75f * noise + 0.25f * ramp);
        right[i] = level * (0.5f * ramp - 0.5f * noise);
    }
}

// What a host has left in its outputs before it calls process.
float hostLeftover(int32_t frame, int32_t channel) {
    return static_cast<float>((frame + channel) % 5 - 2) * 0.125f;
}

intptr_t dispatch(AEffect* record, int32_t opcode, intptr_t value = 0, float opt = 0.0f) {
    return record->dispatcher(record, opcode, 0, value, nullptr, opt);
}

std::string runInstance(EntryPoint entry, bool replacing, std::vector<float>& left, std::vector<float>& right) {
    AEffect* record = entry(sessionHostCallback);
    if (!record) return "the entry point returned no record";
    std::string problems = recordProblems(record);
    if (!problems.empty()) return problems;

    dispatch(record, effOpen);
    dispatch(record, effSetSampleRate, 0, 44100.0f);
    dispatch(record, effSetBlockSize, SessionFormat::blockSize);
    dispatch(record, effMainsChanged, 1);

    std::vector<float> inLeft, inRight;
    sessionSignal(inLeft, inRight);
    left.assign(SessionFormat::frames, 0.0f);
    right.assign(SessionFormat::frames, 0.0f);
    for (int32_t i = 0; i < SessionFormat::frames; ++i) {
        left[i] = replacing ? 99.0f : hostLeftover(i, 0);
        right[i] = replacing ? -99.0f : hostLeftover(i, 1);
    }
    for (int32_t start = 0; start < SessionFormat::frames; start += SessionFormat::blockSize) {
        float* inputs[2] = {inLeft.data() + start, inRight.data() + start};
        float* outputs[2] = {left.data() + start, right.data() + start};
        if (replacing)
            record->processReplacing(record, inputs, outputs, SessionFormat::blockSize);
        else
            record->process(record, inputs, outputs, SessionFormat::blockSize);
    }

    dispatch(record, effMainsChanged, 0);
    if (dispatch(record, effClose) != 1) return "effClose did not answer 1";
    return "";
}

std::string formatFloat(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    return text;
}

}  // namespace

intptr_t sessionHostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

std::string recordProblems(const AEffect* record) {
    std::ostringstream problems;
    if (record->magic != fourCharCode("VstP")) problems << "magic is not VstP; ";
    if (record->object == nullptr) problems << "no object; ";
    if (!record->dispatcher || !record->process || !record->processReplacing || !record->setParameter ||
        !record->getParameter)
        problems << "an entry is missing; ";
    if (record->numPrograms != 4 || record->numParams != 6) problems << "not four programs and six parameters; ";
    if (record->numInputs != 2 || record->numOutputs != 2) problems << "not two inputs and two outputs; ";
    if (record->flags != (effFlagsHasEditor | effFlagsCanMono | effFlagsCanReplacing | effFlagsProgramChunks))
        problems << "flags are not 0x39; ";
    if (record->uniqueID != fourCharCode("ZQ3R")) problems << "unique id is not ZQ3R; ";
    if (record->version != ZQ3R_VERSION_CODE) problems << "version is not " << ZQ3R_VERSION_CODE << "; ";
    if (record->ioRatio != 1.0f) problems << "ioRatio is not 1; ";
    return problems.str();
}

std::string runSession(EntryPoint entry, SessionOutput& output) {
    std::string problem = runInstance(entry, true, output.replacingLeft, output.replacingRight);
    if (problem.empty()) problem = runInstance(entry, false, output.addingLeft, output.addingRight);
    return problem;
}

std::string writeReference(const std::string& path, const SessionOutput& output) {
    const std::string temporary = path + ".new";
    {
        std::ofstream file(temporary);
        if (!file) return "cannot write " + temporary;
        file << "# Output of the native library for the session of HostSession.cpp, one frame a line:\n"
             << "# processReplacing left, right; process left, right.\n";
        for (size_t i = 0; i < output.replacingLeft.size(); ++i) {
            file << formatFloat(output.replacingLeft[i]) << ' ' << formatFloat(output.replacingRight[i]) << ' '
                 << formatFloat(output.addingLeft[i]) << ' ' << formatFloat(output.addingRight[i]) << '\n';
        }
        if (!file.flush()) return "cannot write " + temporary;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return "cannot replace " + path;
    }
    return "";
}

std::string readReferenceLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream file(path);
    if (!file) return "cannot read " + path;
    lines.clear();
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    }
    return "";
}

std::string readReference(const std::string& path, SessionOutput& output) {
    std::vector<std::string> lines;
    const std::string problem = readReferenceLines(path, lines);
    if (!problem.empty()) return problem;
    output = SessionOutput();
    for (const std::string& line : lines) {
        std::istringstream values(line);
        float samples[4];
        if (!(values >> samples[0] >> samples[1] >> samples[2] >> samples[3]))
            return path + ": unreadable line \"" + line + "\"";
        output.replacingLeft.push_back(samples[0]);
        output.replacingRight.push_back(samples[1]);
        output.addingLeft.push_back(samples[2]);
        output.addingRight.push_back(samples[3]);
    }
    if (output.replacingLeft.size() != static_cast<size_t>(SessionFormat::frames))
        return path + ": " + std::to_string(output.replacingLeft.size()) + " frames instead of " +
               std::to_string(SessionFormat::frames);
    return "";
}

double largestDifference(const SessionOutput& a, const SessionOutput& b) {
    const std::vector<float>* channelsA[] = {&a.replacingLeft, &a.replacingRight, &a.addingLeft, &a.addingRight};
    const std::vector<float>* channelsB[] = {&b.replacingLeft, &b.replacingRight, &b.addingLeft, &b.addingRight};
    double largest = 0.0;
    for (int channel = 0; channel < 4; ++channel) {
        const std::vector<float>& x = *channelsA[channel];
        const std::vector<float>& y = *channelsB[channel];
        if (x.size() != y.size()) return INFINITY;
        for (size_t i = 0; i < x.size(); ++i) {
            const double difference = std::fabs(static_cast<double>(x[i]) - static_cast<double>(y[i]));
            if (std::isnan(difference)) return INFINITY;
            if (difference > largest) largest = difference;
        }
    }
    return largest;
}

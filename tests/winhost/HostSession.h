// One session of a host with the plug-in, run the same way against the
// Windows DLL and the native library: a deterministic stereo signal, once
// through processReplacing and once through process, on two instances. The
// outputs of the native library are kept as the reference that the DLL must
// reproduce.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/AEffect.h"

using EntryPoint = AEffect* (*)(audioMasterCallback);

struct SessionOutput {
    std::vector<float> replacingLeft, replacingRight;
    std::vector<float> addingLeft, addingRight;
};

struct SessionFormat {
    static constexpr int32_t frames = 2048;
    static constexpr int32_t blockSize = 256;
    static constexpr double tolerance = 1.0e-6;
};

// The host callback of the session: a version 2.4 host that answers nothing
// else.
intptr_t sessionHostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

// What is wrong with a freshly created record for this plug-in, or "".
std::string recordProblems(const AEffect* record);

// Runs the session through the entry point. Returns "" or what went wrong.
std::string runSession(EntryPoint entry, SessionOutput& output);

std::string writeReference(const std::string& path, const SessionOutput& output);
// The lines of a reference file that hold data: neither empty nor comments.
std::string readReferenceLines(const std::string& path, std::vector<std::string>& lines);
std::string readReference(const std::string& path, SessionOutput& output);

// The largest absolute difference between two sessions' samples.
double largestDifference(const SessionOutput& a, const SessionOutput& b);

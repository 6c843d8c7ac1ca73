// The native library as a host loads it: found by file name, entered by its
// exported names, driven through the record alone.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <vector>

#include "HostTestSupport.h"
#include "engine/CompressorEngine.h"

#ifndef ZQ3R_LIBRARY_PATH
#error "the tests need the path of the built library"
#endif

namespace {

using EntryPoint = AEffect* (*)(audioMasterCallback);

class LoadedLibrary {
public:
    LoadedLibrary() : handle(dlopen(ZQ3R_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedLibrary() {
        if (handle) dlclose(handle);
    }
    bool loaded() const { return handle != nullptr; }
    EntryPoint entry(const char* name) const { return reinterpret_cast<EntryPoint>(dlsym(handle, name)); }

private:
    void* handle;
};

// A stereo signal that starts below the threshold and rises far above it.
struct Signal {
    explicit Signal(int32_t frames) : left(frames), right(frames) {
        for (int32_t i = 0; i < frames; ++i) {
            const float level = i < frames / 3 ? 0.05f : 1.4f;
            const float wave = static_cast<float>((i * 37) % 200) / 100.0f - 1.0f;
            left[i] = level * wave;
            right[i] = level * (i % 2 ? 0.5f : -0.75f);
        }
    }
    std::vector<float> left, right;
};

TEST(NativeLibrary, ExportsBothEntryNamesAndLoadsAgainAfterUnloading) {
    for (int round = 0; round < 2; ++round) {
        LoadedLibrary library;
        ASSERT_TRUE(library.loaded()) << dlerror();
        FakeHost host;
        for (const char* name : {"VSTPluginMain", "main"}) {
            EntryPoint entry = library.entry(name);
            ASSERT_NE(entry, nullptr) << name;
            AEffect* record = entry(FakeHost::callback);
            ASSERT_NE(record, nullptr) << name;
            EXPECT_EQ(record->magic, fourCharCode("VstP"));
            EXPECT_EQ(record->uniqueID, fourCharCode("ZQ3R"));
            EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
        }
        EXPECT_EQ(library.entry("pluginMain"), nullptr) << "only the entry points leave the library";
        EXPECT_EQ(library.entry("registerModule"), nullptr) << "the platform layer stays inside";
    }
}

TEST(NativeLibrary, RefusesAHostWithoutCallback) {
    LoadedLibrary library;
    ASSERT_TRUE(library.loaded()) << dlerror();
    EXPECT_EQ(library.entry("main")(nullptr), nullptr);
}

// A whole session as a host runs it, against the engine built here directly.
TEST(NativeLibrary, ProcessesAsTheEngineDoesThroughAWholeSession) {
    LoadedLibrary library;
    ASSERT_TRUE(library.loaded()) << dlerror();
    FakeHost host;
    AEffect* record = library.entry("VSTPluginMain")(FakeHost::callback);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(record->numInputs, 2);
    EXPECT_EQ(record->numOutputs, 2);
    EXPECT_EQ(record->flags, effFlagsHasEditor | effFlagsCanMono | effFlagsCanReplacing | effFlagsProgramChunks);

    auto dispatch = [&](int32_t opcode, intptr_t value = 0, float opt = 0.0f) {
        return record->dispatcher(record, opcode, 0, value, nullptr, opt);
    };
    EXPECT_EQ(dispatch(effOpen), 0);
    EXPECT_EQ(dispatch(effSetSampleRate, 0, 48000.0f), 0);
    EXPECT_EQ(dispatch(effSetBlockSize, 512), 0);
    EXPECT_EQ(dispatch(effMainsChanged, 1), 0);

    // The engine keeps the rate it was built with, whatever the host sets.
    CompressorEngine engine(44100.0f, 1024);
    const int32_t frames = 3 * 512;
    Signal signal(frames);
    std::vector<float> left(frames, 0.5f), right(frames, -0.5f);
    std::vector<float> expectedLeft(left), expectedRight(right);

    for (int32_t start = 0; start < frames; start += 512) {
        float* inputs[2] = {signal.left.data() + start, signal.right.data() + start};
        float* outputs[2] = {left.data() + start, right.data() + start};
        if (start == 512)
            record->process(record, inputs, outputs, 512);
        else
            record->processReplacing(record, inputs, outputs, 512);
    }
    for (int32_t start = 0; start < frames; start += 512) {
        auto run = start == 512 ? &CompressorEngine::process : &CompressorEngine::processReplacing;
        (engine.*run)(signal.left.data() + start, signal.right.data() + start, expectedLeft.data() + start,
                      expectedRight.data() + start, 512);
    }
    EXPECT_EQ(left, expectedLeft);
    EXPECT_EQ(right, expectedRight);
    // Within the loud stretch the gain, make-up included, has come down.
    const float makeUpLevel = engine.getCoefficients().makeUpLevel;
    ASSERT_NE(signal.left[1301], 0.0f);
    EXPECT_LT(left[1301] / (signal.left[1301] * makeUpLevel), 0.5f);

    EXPECT_EQ(dispatch(effMainsChanged, 0), 0);
    // The host reads the meter the editor shows.
    ASSERT_GT(engine.getVu(0), 0.0f);
    EXPECT_EQ(dispatch(effGetVu), static_cast<intptr_t>(static_cast<double>(engine.getVu(0)) * 32767.0));
    EXPECT_EQ(dispatch(effClose), 1);
}

}  // namespace

// One thread processes audio while another turns the knobs and runs program
// commands, as the host's audio and user-interface threads do. Built with the
// thread sanitizer, this reports any unsynchronised access.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

#include "EngineTestSupport.h"
#include "engine/FactoryPrograms.h"

namespace {

TEST(EngineThreads, AudioAndUserInterfaceThreadsShareTheEngineSafely) {
    CompressorEngine engine(44100.0f, 1024);
    CountingListener listener;
    engine.setListener(&listener);
    std::atomic<bool> running{true};
    std::atomic<int> blocks{0};

    std::thread audio([&] {
        const StereoBuffer in = testSignal(1024);
        StereoBuffer out(1024);
        while (running.load() || blocks.load() < 20) {
            ++blocks;
            processReplacing(engine, in, out);
            process(engine, in, out);
            (void)engine.getVu(0);
            for (float sample : out.left) ASSERT_TRUE(std::isfinite(sample));
        }
    });

    for (int turn = 0; turn < 3000; ++turn) {
        const float value = static_cast<float>(turn % 101) / 100.0f;
        engine.setParameter(kRatio + turn % 5, value);
        engine.setParameter(kPower, turn % 7 == 0 ? 0.5f : 0.0f);
        engine.setParameter(kResetCommand + turn % 6, 0.0f);
        (void)engine.getParameter(kProgramPosition);
        (void)engine.getVu(0);
    }
    running.store(false);
    audio.join();
    EXPECT_GT(listener.meterUpdates, 0);
    EXPECT_GE(listener.controlUpdates, 3000);
}

bool sameCoefficients(const CompressorEngine::Coefficients& a, const CompressorEngine::Coefficients& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

CompressorEngine::Coefficients coefficientsOf(const float (&values)[kParameterCount]) {
    CompressorEngine engine(44100.0f, 1024);
    for (int32_t k = 0; k < kParameterCount; ++k) engine.receiveParameter(k, values[k]);
    return engine.getCoefficients();
}

// States and programs load while the audio thread processes short blocks:
// each block runs with the coefficients of one whole parameter set, the old
// or the new, never some of each.
TEST(EngineThreads, EveryBlockRunsWithTheCoefficientsOfOneWholeState) {
    CompressorEngine engine(44100.0f, 1024);
    CompressorState first = engine.getState();
    CompressorState second = first;
    const float firstValues[kParameterCount] = {0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f};
    const float secondValues[kParameterCount] = {0.0f, 0.9f, 0.8f, 0.7f, 0.6f, 0.05f};
    for (int32_t k = 0; k < kParameterCount; ++k) {
        first.working.values[k] = firstValues[k];
        second.working.values[k] = secondValues[k];
    }
    const CompressorEngine::Coefficients whole[] = {
        coefficientsOf(firstValues), coefficientsOf(secondValues), engine.getCoefficients(),
        coefficientsOf(factoryPrograms[1])};
    std::atomic<bool> running{true};
    std::atomic<int> mixed{0};
    std::atomic<int> blocks{0};

    std::thread audio([&] {
        const StereoBuffer in = testSignal(16);
        StereoBuffer out(16);
        while (running.load()) {
            processReplacing(engine, in, out);
            const CompressorEngine::Coefficients used = engine.getBlockCoefficients();
            bool known = false;
            for (const CompressorEngine::Coefficients& set : whole) known = known || sameCoefficients(used, set);
            if (!known) ++mixed;
            ++blocks;
        }
    });
    for (int load = 0; load < 20000; ++load) {
        switch (load % 4) {
        case 0: engine.restoreState(first); break;
        case 1: engine.loadProgram(1); break;
        case 2: engine.restoreState(second); break;
        case 3: engine.loadProgram(0); break;
        }
    }
    const int awaited = blocks.load() + 2;
    while (blocks.load() < awaited) std::this_thread::yield();
    running.store(false);
    audio.join();
    EXPECT_EQ(mixed.load(), 0);
    EXPECT_TRUE(sameCoefficients(engine.getBlockCoefficients(), whole[2]));
}

// A host's automation on the audio thread and a knob on the user-interface
// thread write at once: the last value of each parameter wins, and the next
// block runs with exactly the coefficients of those values.
TEST(EngineThreads, WritersOnTwoThreadsLoseNoUpdate) {
    const float finalValues[kParameterCount] = {0.0f, 0.3f, 0.45f, 0.6f, 0.25f, 0.7f};
    for (int round = 0; round < 50; ++round) {
        CompressorEngine engine(44100.0f, 1024);
        std::atomic<int> started{0};
        auto writer = [&](int32_t firstIndex, bool fromHost) {
            started.fetch_add(1);
            while (started.load() < 2) std::this_thread::yield();
            for (int write = 0; write <= 2000; ++write) {
                for (int32_t index = firstIndex; index < kParameterCount; index += 2) {
                    const float value = write == 2000 ? finalValues[index] : static_cast<float>(write % 100) / 100.0f;
                    if (fromHost)
                        engine.receiveParameter(index, value);
                    else
                        engine.setParameter(index, value);
                }
            }
        };
        std::thread host(writer, 1, true);
        std::thread knob(writer, 2, false);
        host.join();
        knob.join();
        StereoBuffer out(16);
        processReplacing(engine, testSignal(16), out);
        ASSERT_TRUE(sameCoefficients(engine.getBlockCoefficients(), coefficientsOf(finalValues))) << "round " << round;
    }
}

}  // namespace

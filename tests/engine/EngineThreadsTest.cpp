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
    while (blocks.load() == 0) std::this_thread::yield();
    // Until the audio thread has run many blocks among the loads.
    const int awaited = blocks.load() + 50000;
    for (int load = 0; load < 40000 || blocks.load() < awaited; ++load) {
        switch (load % 4) {
        case 0: engine.restoreState(first); break;
        case 1: engine.loadProgram(1); break;
        case 2: engine.restoreState(second); break;
        case 3: engine.loadProgram(0); break;
        }
    }
    engine.loadProgram(0);
    const int last = blocks.load() + 2;
    while (blocks.load() < last) std::this_thread::yield();
    running.store(false);
    audio.join();
    EXPECT_EQ(mixed.load(), 0);
    EXPECT_TRUE(sameCoefficients(engine.getBlockCoefficients(), whole[2]));
}

// Spins until `done` reaches `round`; yields now and then, so that a busy
// machine still runs the thread that is awaited.
void awaitRound(const std::atomic<int>& done, int round) {
    for (int spin = 1; done.load() < round; ++spin) {
        if (spin % 4096 == 0) std::this_thread::yield();
    }
}

// A host's automation and a knob write at once, round after round: the
// last value of each parameter wins, and the next block runs with exactly
// the coefficients of those values.
TEST(EngineThreads, WritersOnTwoThreadsLoseNoUpdate) {
    constexpr int kRounds = 5000;
    auto valueIn = [](int round, int32_t index) {
        return index == kPower ? 0.0f : static_cast<float>((round * 7 + index * 13) % 100) / 100.0f;
    };
    CompressorEngine engine(44100.0f, 1024);
    std::atomic<int> hostMayWrite{-1};
    std::atomic<int> hostHasWritten{-1};
    // The host writes ratio, attack and make-up gain; the knobs the rest.
    std::thread host([&] {
        for (int round = 0; round < kRounds; ++round) {
            awaitRound(hostMayWrite, round);
            for (int32_t index = kRatio; index < kParameterCount; index += 2) engine.receiveParameter(index, valueIn(round, index));
            hostHasWritten.store(round);
        }
    });
    const StereoBuffer in = testSignal(16);
    StereoBuffer out(16);
    int lost = 0;
    for (int round = 0; round < kRounds; ++round) {
        hostMayWrite.store(round);
        for (int32_t index = kPower; index < kParameterCount; index += 2) engine.setParameter(index, valueIn(round, index));
        awaitRound(hostHasWritten, round);
        processReplacing(engine, in, out);
        float values[kParameterCount];
        for (int32_t index = 0; index < kParameterCount; ++index) values[index] = valueIn(round, index);
        if (!sameCoefficients(engine.getBlockCoefficients(), coefficientsOf(values))) ++lost;
    }
    host.join();
    EXPECT_EQ(lost, 0);
}

}  // namespace

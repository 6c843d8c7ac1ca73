// One thread processes audio while another turns the knobs and runs program
// commands, as the host's audio and user-interface threads do. Built with the
// thread sanitizer, this reports any unsynchronised access.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "EngineTestSupport.h"

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

}  // namespace

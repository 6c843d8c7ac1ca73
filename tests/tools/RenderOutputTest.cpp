// The renderer's output, end to end: the built program run on small files,
// its result compared with the engine's own.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "tests/tools/RenderTestFolder.h"
#include "tests/tools/TestAudio.h"

namespace {

constexpr int kStereoFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
constexpr int kStereo16BitWav = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
// Not a whole number of blocks, so the last call is a short one.
constexpr int64_t kTestFrames = 44100 + 4321;

void expectSameSamples(const TestAudio& expected, const TestAudio& actual, float tolerance) {
    ASSERT_EQ(actual.frames(), expected.frames());
    float worst = 0.0f;
    int64_t worstFrame = 0;
    for (int64_t i = 0; i < expected.frames(); ++i) {
        const float difference = std::fmax(std::fabs(expected.left[i] - actual.left[i]),
                                           std::fabs(expected.right[i] - actual.right[i]));
        if (difference > worst) {
            worst = difference;
            worstFrame = i;
        }
    }
    EXPECT_LE(worst, tolerance) << "largest difference at frame " << worstFrame;
}

std::string readText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class RenderOutputTest : public RenderTestFolder {};

class RenderBlockSizeTest : public RenderTestFolder, public ::testing::WithParamInterface<int> {};

TEST_P(RenderBlockSizeTest, FloatOutputEqualsTheEngineExactly) {
    const int blockSize = GetParam();
    const TestAudio input = makeTestSignal(kTestFrames, 2, 44100);
    writeAudio(path("in.wav"), input, kStereoFloatWav);

    const RendererRun run = render({"in.wav", "--out", "out.wav", "--block", std::to_string(blockSize)});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const TestAudio output = readAudio(path("out.wav"));
    EXPECT_EQ(output.format, kStereoFloatWav);
    EXPECT_EQ(output.channels, 2);
    expectSameSamples(engineResult(input, blockSize), output, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, RenderBlockSizeTest, ::testing::Values(1, 100, 512, 4096));

TEST_F(RenderOutputTest, SixteenBitInputGivesSixteenBitOutputWithinQuantisation) {
    writeAudio(path("in.wav"), makeTestSignal(kTestFrames, 2, 44100), kStereo16BitWav);
    // The engine sees what the renderer sees: the file's samples as read.
    const TestAudio input = readAudio(path("in.wav"));

    const RendererRun run = render({"in.wav", "--out", "out.wav"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const TestAudio output = readAudio(path("out.wav"));
    EXPECT_EQ(output.format, kStereo16BitWav);
    expectSameSamples(engineResult(input, 512), output, 1.01f / 32768.0f);
}

TEST_F(RenderOutputTest, MonoInputFeedsBothChannelsAndWritesStereo) {
    const TestAudio input = makeTestSignal(kTestFrames, 1, 44100);
    writeAudio(path("in.wav"), input, kStereoFloatWav);

    const RendererRun run = render({"in.wav", "--out", "out.wav"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const TestAudio output = readAudio(path("out.wav"));
    EXPECT_EQ(output.channels, 2);
    expectSameSamples(engineResult(input, 512), output, 0.0f);
    EXPECT_NE(run.output.find("mono"), std::string::npos) << run.output;
}

TEST_F(RenderOutputTest, OtherSampleRateIsKeptAndProcessedAlike) {
    // The plug-in builds its engine before any rate is known, so its meter
    // interval, and nothing in the audio, depends on the file's rate.
    const TestAudio input = makeTestSignal(kTestFrames, 2, 48000);
    writeAudio(path("in.wav"), input, kStereoFloatWav);

    const RendererRun run = render({"in.wav", "--out", "out.wav"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const TestAudio output = readAudio(path("out.wav"));
    EXPECT_EQ(output.sampleRate, 48000);
    expectSameSamples(engineResult(input, 512), output, 0.0f);
}

TEST_F(RenderOutputTest, AccumulatingCallGivesTheReplacingResult) {
    writeAudio(path("in.wav"), makeTestSignal(kTestFrames, 2, 44100), kStereoFloatWav);

    ASSERT_EQ(render({"in.wav", "--out", "replacing.wav"}).exitCode, 0);
    const RendererRun run = render({"in.wav", "--out", "accumulating.wav", "--accumulate"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    EXPECT_NE(run.output.find("accumulating"), std::string::npos) << run.output;
    expectSameSamples(readAudio(path("replacing.wav")), readAudio(path("accumulating.wav")), 0.0f);
}

TEST_F(RenderOutputTest, PluginLibraryGivesTheLinkedInResult) {
    writeAudio(path("in.wav"), makeTestSignal(kTestFrames, 2, 44100), kStereoFloatWav);

    ASSERT_EQ(render({"in.wav", "--out", "linked.wav"}).exitCode, 0);
    const RendererRun run = render({"in.wav", "--out", "library.wav", "--plugin", ZQ3R_PLUGIN_LIBRARY});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    EXPECT_NE(run.output.find("'ZQ3R'"), std::string::npos) << run.output;
    expectSameSamples(readAudio(path("linked.wav")), readAudio(path("library.wav")), 0.0f);
}

TEST_F(RenderOutputTest, OutputKeepsTheSampleFormatUnlessFloatIsAsked) {
    writeAudio(path("in.wav"), makeTestSignal(4410, 2, 44100), SF_FORMAT_WAV | SF_FORMAT_PCM_24);

    ASSERT_EQ(render({"in.wav", "--out", "same.wav"}).exitCode, 0);
    ASSERT_EQ(render({"in.wav", "--out", "float.wav", "--float"}).exitCode, 0);
    ASSERT_EQ(render({"in.wav", "--out", "lossless.flac"}).exitCode, 0);

    EXPECT_EQ(readAudio(path("same.wav")).format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    EXPECT_EQ(readAudio(path("float.wav")).format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(readAudio(path("lossless.flac")).format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
}

TEST_F(RenderOutputTest, DefaultOutputGoesToTheOutFolder) {
    writeAudio(path("take 3.wav"), makeTestSignal(4410, 2, 44100), kStereoFloatWav);

    const RendererRun run = render({"take 3.wav"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    EXPECT_EQ(readAudio(path("out/take 3-zq3r.wav")).frames(), 4410);
}

TEST_F(RenderOutputTest, ExtraAndMissingChannelsOfAPluginAreAdapted) {
    // The probe passes the file through only if its sidechain input is silent
    // and its third output is kept out of the file.
    const TestAudio input = makeTestSignal(kTestFrames, 2, 44100);
    writeAudio(path("in.wav"), input, kStereoFloatWav);

    for (const char* mode : {"--block=512", "--accumulate"}) {
        const RendererRun run = render({"in.wav", "--out", "probe.wav", "--plugin", ZQ3R_PROBE_PLUGIN, mode});
        ASSERT_EQ(run.exitCode, 0) << run.output;
        expectSameSamples(input, readAudio(path("probe.wav")), 0.0f);
    }

    // A mono plug-in hears the left channel; its one output fills both.
    const RendererRun run = render({"in.wav", "--out", "mono.wav", "--plugin", ZQ3R_MONO_PLUGIN});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    TestAudio halfLeft = input;
    for (int64_t i = 0; i < input.frames(); ++i) halfLeft.left[i] = halfLeft.right[i] = 0.5f * input.left[i];
    expectSameSamples(halfLeft, readAudio(path("mono.wav")), 0.0f);
}

TEST_F(RenderOutputTest, PluginIsDrivenInTheHostsOrder) {
    writeAudio(path("in.wav"), makeTestSignal(1000, 2, 22050), kStereoFloatWav);

    const RendererRun run = render({"in.wav", "--out", "probe.wav", "--plugin", ZQ3R_PROBE_PLUGIN, "--block", "300"},
                                   {{"ZQ3R_PROBE_LOG", path("calls.txt")}});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    EXPECT_EQ(readText(path("calls.txt")),
              "host version answered\nopen\nsample rate 22050\nblock size 300\nmains on\n"
              "first block\nmains off\nclose\nprocess calls 0\nprocessReplacing calls 4\n");
}

TEST_F(RenderOutputTest, DemoWritesItsInputAndOutputAndPrintsTheSummary) {
    const RendererRun run = render({});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const char* figure : {"Duration", "44100 Hz", "input", "output", "dBFS", "real time"}) {
        EXPECT_NE(run.output.find(figure), std::string::npos) << figure << " in\n" << run.output;
    }

    const TestAudio demo = readAudio(path("out/demo-in.wav"));
    EXPECT_EQ(demo.channels, 2);
    EXPECT_GE(demo.frames(), 10 * 44100);
    // Loud and quiet passages: second-long windows at least 20 dB apart.
    double loudest = 0.0, quietest = 1.0;
    for (int64_t start = 0; start + 44100 <= demo.frames(); start += 44100) {
        double sum = 0.0;
        for (int64_t i = start; i < start + 44100; ++i) sum += demo.left[i] * demo.left[i];
        const double rms = std::sqrt(sum / 44100);
        loudest = std::max(loudest, rms);
        quietest = std::min(quietest, rms);
    }
    EXPECT_GT(20.0 * std::log10(loudest / quietest), 20.0);

    expectSameSamples(engineResult(demo, 512), readAudio(path("out/demo-out.wav")), 1.01f / 32768.0f);

    // The same demo every time.
    const std::string firstDemo = readText(path("out/demo-in.wav"));
    ASSERT_EQ(render({"--quiet"}).exitCode, 0);
    EXPECT_EQ(readText(path("out/demo-in.wav")), firstDemo);
}

TEST_F(RenderOutputTest, BenchPrintsItsFiguresAndWritesNoFile) {
    writeAudio(path("in.wav"), makeTestSignal(kTestFrames, 2, 44100), kStereoFloatWav);

    const RendererRun run = render({"in.wav", "--bench", "3"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    EXPECT_NE(run.output.find("ns per frame"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("median"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("real-time factor"), std::string::npos) << run.output;
    EXPECT_EQ(entries(), std::set<std::string>{"in.wav"});
}

TEST_F(RenderOutputTest, MemoryDoesNotGrowWithTheLengthOfTheFile) {
    // Three minutes of 16-bit mono would take some 60 MB as float stereo in
    // memory; streamed, it renders in what two seconds need.
    writeAudio(path("short.wav"), makeTestSignal(2 * 44100, 1, 44100), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    writeAudio(path("long.wav"), makeTestSignal(180 * 44100, 1, 44100), SF_FORMAT_WAV | SF_FORMAT_PCM_16);

    const RendererRun shortRun = render({"short.wav", "--quiet"});
    const RendererRun longRun = render({"long.wav", "--quiet"});
    ASSERT_EQ(shortRun.exitCode, 0) << shortRun.output;
    ASSERT_EQ(longRun.exitCode, 0) << longRun.output;

    EXPECT_LT(longRun.peakMemoryKilobytes - shortRun.peakMemoryKilobytes, 8 * 1024)
        << "short " << shortRun.peakMemoryKilobytes << " kB, long " << longRun.peakMemoryKilobytes << " kB";
}

}  // namespace

// Settings made through the plug-in's editor, end to end: each option's
// output against the engine run directly with the same values, the order in
// which they are made, and the editor's picture, meter values and plot.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>

#include "PngFile.h"
#include "editor/PanelLayout.h"
#include "engine/FactoryPrograms.h"
#include "tests/tools/RenderTestFolder.h"
#include "tests/tools/TestAudio.h"

namespace {

constexpr int kStereoFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
constexpr int64_t kTestFrames = 44100 + 4321;
// Far drag points give the knob a resolution much finer than this.
constexpr float kKnobTolerance = 1e-5f;

EngineParameters factoryProgram(int program) {
    EngineParameters parameters;
    for (int index = 0; index < kParameterCount; ++index) parameters.emplace_back(index, factoryPrograms[program][index]);
    return parameters;
}

// The knob position the summary reports, e.g. "threshold 0.3 (-28.0 dB)".
float reportedKnob(const std::string& output, const std::string& name) {
    std::smatch match;
    if (!std::regex_search(output, match, std::regex("[ ,]" + name + " ([-+0-9.e]+)"))) return NAN;
    return std::stof(match[1]);
}

bool sameSamples(const TestAudio& expected, const TestAudio& actual) {
    return expected.frames() == actual.frames() && expected.left == actual.left && expected.right == actual.right;
}

std::vector<std::vector<std::string>> readCsv(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(file, line);) {
        std::vector<std::string> cells;
        std::stringstream cellsOfLine(line);
        for (std::string cell; std::getline(cellsOfLine, cell, ',');) cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

class RenderSettingsTest : public RenderTestFolder {
protected:
    void SetUp() override {
        RenderTestFolder::SetUp();
        input = makeTestSignal(kTestFrames, 2, 44100);
        writeAudio(path("in.wav"), input, kStereoFloatWav);
    }

    RendererRun renderWith(std::vector<std::string> settings) {
        std::vector<std::string> arguments = {"in.wav", "--out", "out.wav"};
        arguments.insert(arguments.end(), settings.begin(), settings.end());
        return render(arguments);
    }

    TestAudio input;
};

struct KnobCase {
    const char* option;
    const char* name;  // as the summary says it
    int index;
    float position;
};

std::ostream& operator<<(std::ostream& stream, const KnobCase& knob) {
    return stream << knob.option << " " << knob.position;
}

class RenderKnobTest : public RenderSettingsTest, public ::testing::WithParamInterface<KnobCase> {};

TEST_P(RenderKnobTest, OutputEqualsTheEngineWithTheValueTheKnobWrote) {
    const KnobCase knob = GetParam();
    const RendererRun run = renderWith({knob.option, std::to_string(knob.position)});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const float written = reportedKnob(run.output, knob.name);
    EXPECT_NEAR(written, knob.position, kKnobTolerance) << run.output;
    EXPECT_TRUE(sameSamples(engineResult(input, 512, {{knob.index, written}}), readAudio(path("out.wav"))));
}

// Both ends of the knob's travel lie beside the gap at its bottom.
INSTANTIATE_TEST_SUITE_P(
    Knobs, RenderKnobTest,
    ::testing::Values(KnobCase{"--ratio", "ratio", kRatio, 0.8f}, KnobCase{"--threshold", "threshold", kThreshold, 0.15f},
                      KnobCase{"--threshold", "threshold", kThreshold, 0.0f},
                      KnobCase{"--attack", "attack", kAttack, 0.62f}, KnobCase{"--release", "release", kRelease, 0.05f},
                      KnobCase{"--makeup", "make-up", kMakeUpGain, 0.35f},
                      KnobCase{"--makeup", "make-up", kMakeUpGain, 1.0f}));

TEST_F(RenderSettingsTest, DecibelFormsUseTheEnginesMapping) {
    const RendererRun run = renderWith({"--threshold-db", "-28", "--makeup-db", "+6"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    // -28 dB is 0.3 of the threshold's travel, +6 dB 0.65 of the make-up gain's.
    const float threshold = reportedKnob(run.output, "threshold");
    const float makeUp = reportedKnob(run.output, "make-up");
    EXPECT_NEAR(threshold, 0.3f, kKnobTolerance);
    EXPECT_NEAR(makeUp, 0.65f, kKnobTolerance);
    EXPECT_NE(run.output.find("(-28.0 dB)"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("(+6.0 dB)"), std::string::npos) << run.output;
    EXPECT_TRUE(sameSamples(engineResult(input, 512, {{kThreshold, threshold}, {kMakeUpGain, makeUp}}),
                            readAudio(path("out.wav"))));
}

class RenderProgramTest : public RenderSettingsTest, public ::testing::WithParamInterface<int> {};

TEST_P(RenderProgramTest, OutputEqualsTheFactoryProgram) {
    const int program = GetParam();
    const RendererRun run = renderWith({"--program", std::to_string(program)});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    EXPECT_NE(run.output.find(std::string(factoryProgramNames[program]) + " (program " + std::to_string(program) + ")"),
              std::string::npos)
        << run.output;
    EXPECT_TRUE(sameSamples(engineResult(input, 512, factoryProgram(program)), readAudio(path("out.wav"))));
}

INSTANTIATE_TEST_SUITE_P(Programs, RenderProgramTest, ::testing::Range(0, kFactoryProgramCount));

TEST_F(RenderSettingsTest, ProgramNameSelectsTheProgramTheEditorShowsByThatName) {
    const RendererRun run = renderWith({"--program-name", "limiter -6DB"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    EXPECT_NE(run.output.find("Limiter -6dB (program 1)"), std::string::npos) << run.output;
    EXPECT_TRUE(sameSamples(engineResult(input, 512, factoryProgram(1)), readAudio(path("out.wav"))));
}

TEST_F(RenderSettingsTest, KnobsAreTurnedAfterTheProgramWhateverTheOrderGiven) {
    // Loading a program sets every parameter: turned first, the knob would be lost.
    const RendererRun run = renderWith({"--threshold", "0.2", "--program", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    EngineParameters expected = factoryProgram(1);
    expected.emplace_back(kThreshold, reportedKnob(run.output, "threshold"));
    EXPECT_NEAR(expected.back().second, 0.2f, kKnobTolerance);
    EXPECT_TRUE(sameSamples(engineResult(input, 512, expected), readAudio(path("out.wav"))));
}

TEST_F(RenderSettingsTest, BypassPassesTheInputThroughEvenAfterAProgram) {
    for (const std::vector<std::string>& settings : {std::vector<std::string>{"--bypass"},
                                                     std::vector<std::string>{"--bypass", "--program", "2"}}) {
        const RendererRun run = renderWith(settings);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find("power off (bypassed)"), std::string::npos) << run.output;
        EXPECT_TRUE(sameSamples(input, readAudio(path("out.wav"))));
    }
}

TEST_F(RenderSettingsTest, EditorPictureShowsTheKnobWhereItWasTurned) {
    ASSERT_EQ(renderWith({"--threshold", "0", "--editor-png", "low.png"}).exitCode, 0);
    const RendererRun run = renderWith({"--threshold", "1", "--editor-png", "high.png"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    CapturedImage low, high;
    ASSERT_TRUE(readPng(path("low.png"), low));
    ASSERT_TRUE(readPng(path("high.png"), high));
    ASSERT_EQ(low.width, 304);
    ASSERT_EQ(low.height, 119);
    ASSERT_EQ(high.width, 304);
    ASSERT_EQ(high.height, 119);
    // Only the threshold knob differs between the two pictures.
    const PixelRect knob = panelLayout::kThresholdKnob.rect;
    int changedInside = 0, changedOutside = 0;
    for (int y = 0; y < 119; ++y) {
        for (int x = 0; x < 304; ++x) {
            if (low.at(x, y) == high.at(x, y)) continue;
            const bool inside = x >= knob.x && x < knob.x + knob.width && y >= knob.y && y < knob.y + knob.height;
            (inside ? changedInside : changedOutside)++;
        }
    }
    EXPECT_GT(changedInside, 20);
    EXPECT_EQ(changedOutside, 0);
    EXPECT_NE(run.output.find("high.png"), std::string::npos) << run.output;
}

class RenderMeterTest : public RenderSettingsTest, public ::testing::WithParamInterface<int> {};

TEST_P(RenderMeterTest, RowsAreTheValuesTheEnginePublishes) {
    const int blockSize = GetParam();
    const RendererRun run = renderWith({"--threshold", "0.3", "--meter-csv", "meter.csv", "--block", std::to_string(blockSize)});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const std::vector<float> published =
        engineMeterValues(input, 512, {{kThreshold, reportedKnob(run.output, "threshold")}});
    const auto rows = readCsv(path("meter.csv"));
    ASSERT_EQ(rows.size(), published.size() + 1);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"seconds", "gain_reduction"}));
    ASSERT_GT(published.size(), 50u);
    float largest = 0.0f;
    for (size_t k = 1; k < rows.size(); ++k) {
        ASSERT_EQ(rows[k].size(), 2u);
        EXPECT_NEAR(std::stod(rows[k][0]), k * 881.0 / 44100.0, 1e-6) << "row " << k;
        EXPECT_EQ(std::stof(rows[k][1]), published[k - 1]) << "row " << k;
        largest = std::max(largest, published[k - 1]);
    }
    EXPECT_GT(largest, 0.1f);  // the signal is compressed, so the meter moves
    // Ending calls at meter points leaves the audio as it is.
    EXPECT_TRUE(sameSamples(engineResult(input, 512, {{kThreshold, reportedKnob(run.output, "threshold")}}),
                            readAudio(path("out.wav"))));
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, RenderMeterTest, ::testing::Values(1, 100, 881, 4096));

TEST_F(RenderSettingsTest, PlotIsAPicture) {
    const RendererRun run = renderWith({"--threshold-db", "-30", "--plot", "plot.png"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    CapturedImage plot;
    ASSERT_TRUE(readPng(path("plot.png"), plot));
    EXPECT_GE(plot.width, 800);
    EXPECT_GE(plot.height, 400);
    EXPECT_NE(run.output.find("Plot      plot.png"), std::string::npos) << run.output;
    EXPECT_EQ(entries(), (std::set<std::string>{"in.wav", "out.wav", "plot.png"}));
}

}  // namespace

// Every way a run can fail: a message that names the problem, a non-zero
// exit, and no output or temporary file left behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/tools/RenderTestFolder.h"
#include "tests/tools/TestAudio.h"

namespace {

struct FailingRun {
    const char* name;
    std::vector<std::string> arguments;
    const char* message;  // a part of what the renderer must say
};

std::ostream& operator<<(std::ostream& stream, const FailingRun& run) { return stream << run.name; }

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class RenderErrorTest : public RenderTestFolder, public ::testing::WithParamInterface<FailingRun> {
protected:
    void SetUp() override {
        RenderTestFolder::SetUp();
        writeAudio(path("in.wav"), makeTestSignal(4410, 2, 44100), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        TestAudio surround = makeTestSignal(441, 2, 44100);
        surround.channels = 3;
        writeAudio(path("surround.wav"), surround, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        writeText(path("noise.wav"), std::string(5000, '\x5A'));
        writeText(path("header-only.wav"), "RIFF\x24\x00\x00\x00WAVEfmt ");
        writeText(path("not-a-library.so"), "just text\n");
        std::filesystem::create_directory(path("a folder.wav"));
    }
};

TEST_P(RenderErrorTest, NamesTheProblemAndLeavesNoFile) {
    const std::set<std::string> before = entries();

    const RendererRun run = render(GetParam().arguments);

    EXPECT_NE(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find(GetParam().message), std::string::npos) << run.output;
    EXPECT_EQ(entries(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RenderErrorTest,
    ::testing::Values(
        FailingRun{"Missing", {"missing.wav"}, "'missing.wav' does not exist"},
        FailingRun{"Folder", {"a folder.wav", "--out", "x.wav"}, "is a folder"},
        FailingRun{"NotAudio", {"noise.wav", "--out", "x.wav"}, "cannot read 'noise.wav' as audio"},
        FailingRun{"Truncated", {"header-only.wav", "--out", "x.wav"}, "as audio"},
        FailingRun{"ThreeChannels", {"surround.wav", "--out", "x.wav"}, "3 channels"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Plugins, RenderErrorTest,
    ::testing::Values(
        FailingRun{"Missing", {"in.wav", "--out", "x.wav", "--plugin", "none.so"}, "'none.so' does not exist"},
        FailingRun{"NotALibrary", {"in.wav", "--out", "x.wav", "--plugin", "not-a-library.so"},
                   "cannot load plug-in"},
        FailingRun{"NoEntryPoint", {"in.wav", "--out", "x.wav", "--plugin", ZQ3R_NO_ENTRY_LIBRARY},
                   "no entry point"},
        FailingRun{"NoRecord", {"in.wav", "--out", "x.wav", "--plugin", ZQ3R_NULL_RECORD_PLUGIN},
                   "returned no record"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Outputs, RenderErrorTest,
    ::testing::Values(
        FailingRun{"InsideAFile", {"in.wav", "--out", "in.wav/x.wav"}, "is not a folder"},
        FailingRun{"MissingFolder", {"in.wav", "--out", "nowhere/x.wav"}, "'nowhere' does not exist"},
        FailingRun{"IsAFolder", {"in.wav", "--out", "a folder.wav"}, "it is a folder"},
        FailingRun{"UnknownType", {"in.wav", "--out", "x.xyz"}, "which file type"},
        FailingRun{"FloatInFlac", {"in.wav", "--out", "x.flac", "--float"}, "--float"},
        FailingRun{"IsTheInput", {"in.wav", "--out", "./in.wav"}, "is the input file"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Options, RenderErrorTest,
    ::testing::Values(
        FailingRun{"BlockZero", {"in.wav", "--block", "0"}, "--block takes a whole number"},
        FailingRun{"BlockText", {"in.wav", "--block", "big"}, "'big'"},
        FailingRun{"BlockHuge", {"in.wav", "--block=100000"}, "--block"},
        FailingRun{"BenchZero", {"in.wav", "--bench", "0"}, "--bench"},
        FailingRun{"BenchWithOut", {"in.wav", "--bench", "2", "--out", "x.wav"}, "--bench writes no file"},
        FailingRun{"Unknown", {"in.wav", "--louder"}, "unknown option '--louder'"},
        FailingRun{"NoValue", {"in.wav", "--out"}, "--out needs a value"},
        FailingRun{"SwitchWithValue", {"in.wav", "--quiet=yes"}, "--quiet takes no value"},
        FailingRun{"TwoInputs", {"in.wav", "surround.wav"}, "only one input"}),
    [](const auto& info) { return std::string(info.param.name); });

// Bad settings are caught before anything is written, the demo's input included.
INSTANTIATE_TEST_SUITE_P(
    Settings, RenderErrorTest,
    ::testing::Values(
        FailingRun{"PositionAboveOne", {"in.wav", "--threshold", "1.5"}, "--threshold takes a knob position from 0 to 1"},
        FailingRun{"PositionNegative", {"in.wav", "--makeup=-0.01"}, "--makeup takes a knob position"},
        FailingRun{"PositionNaN", {"--ratio", "nan"}, "not 'nan'"},
        FailingRun{"PositionInfinite", {"--release", "inf"}, "not 'inf'"},
        FailingRun{"PositionText", {"in.wav", "--attack", "half"}, "not 'half'"},
        FailingRun{"ThresholdDecibels", {"in.wav", "--threshold-db", "-41"}, "from -40 to 0 dB"},
        FailingRun{"MakeUpDecibels", {"--makeup-db", "20.5"}, "from -20 to +20 dB"},
        FailingRun{"ProgramNumber", {"in.wav", "--program", "4"}, "--program takes a whole number from 0 to 3"},
        FailingRun{"ProgramName", {"--program-name", "Brickwall"}, "there is no program 'Brickwall'"},
        FailingRun{"KnobTwice", {"in.wav", "--threshold", "0.2", "--threshold-db", "-20"}, "threshold is given twice"},
        FailingRun{"ProgramTwice", {"in.wav", "--program", "1", "--program-name", "Default"}, "program is given twice"},
        FailingRun{"SavePresetTwice", {"in.wav", "--save-preset", "a.fxp", "--save-preset", "b.fxb"},
                   "--save-preset is given twice ('a.fxp' and 'b.fxb')"},
        FailingRun{"OutputTwice", {"in.wav", "--out", "a.wav", "--out=b.wav"}, "--out is given twice"},
        FailingRun{"SettingWithPlugin", {"in.wav", "--bypass", "--plugin", ZQ3R_PLUGIN_LIBRARY},
                   "--bypass works through the ZQ3R Compressor built into this program"},
        FailingRun{"MeterWithPlugin", {"in.wav", "--plugin", ZQ3R_PLUGIN_LIBRARY, "--meter-csv", "m.csv"},
                   "cannot be combined with --plugin"},
        FailingRun{"PictureWithBench", {"in.wav", "--bench", "2", "--editor-png", "e.png"},
                   "--bench writes no file, so --editor-png does not apply"},
        FailingRun{"SameFileTwice", {"in.wav", "--plot", "a.png", "--editor-png", "./a.png"}, "name the same file"},
        FailingRun{"PictureOverInput", {"in.wav", "--editor-png", "in.wav"}, "--editor-png names the input file"},
        FailingRun{"PictureFolder", {"in.wav", "--out", "x.wav", "--editor-png", "nowhere/e.png"},
                   "'nowhere' does not exist"}),
    [](const auto& info) { return std::string(info.param.name); });

class RenderFailureTest : public RenderTestFolder {};

TEST_F(RenderFailureTest, ReadErrorMidwayKeepsAnEarlierOutputAndLeavesNoTemporaryFile) {
    // A FLAC file damaged in its middle fails only after the output has
    // been half written.
    writeAudio(path("in.flac"), makeTestSignal(5 * 44100, 2, 44100), SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    std::string bytes = readBytes(path("in.flac"));
    for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 4000; ++i) bytes[i] = static_cast<char>(bytes[i] * 7 + 13);
    writeText(path("in.flac"), bytes);
    writeText(path("out.wav"), "an earlier result");
    const std::set<std::string> before = entries();

    const RendererRun run = render({"in.flac", "--out", "out.wav"});

    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("cannot read 'in.flac' after"), std::string::npos) << run.output;
    EXPECT_EQ(readBytes(path("out.wav")), "an earlier result");
    EXPECT_EQ(entries(), before);
}

TEST_F(RenderFailureTest, ReadErrorMidwayLeavesNoPictureMeterOrPlot) {
    // The editor's picture is taken before the first block, the meter and
    // plot data grow with the render: all of it goes with the failed run.
    writeAudio(path("in.flac"), makeTestSignal(5 * 44100, 2, 44100), SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    std::string bytes = readBytes(path("in.flac"));
    for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 4000; ++i) bytes[i] = static_cast<char>(bytes[i] * 7 + 13);
    writeText(path("in.flac"), bytes);
    const std::set<std::string> before = entries();

    const RendererRun run = render({"in.flac", "--out", "out.wav", "--threshold", "0.2", "--editor-png", "e.png",
                                    "--meter-csv", "m.csv", "--plot", "p.png"});

    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("cannot read 'in.flac' after"), std::string::npos) << run.output;
    EXPECT_EQ(entries(), before);
}

TEST_F(RenderFailureTest, InterruptRemovesEveryFileBeingWritten) {
    // One frame per call keeps the render going long enough to be interrupted.
    writeAudio(path("in.wav"), makeTestSignal(20 * 44100, 1, 44100), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const std::set<std::string> before = entries();

    const pid_t renderer = startRenderer({"in.wav", "--out", "out.wav", "--block", "1", "--editor-png", "e.png",
                                          "--meter-csv", "m.csv", "--plot", "p.png"},
                                         folder);
    ASSERT_GT(renderer, 0);
    // The audio, the picture, the meter, the plot and its data; the picture
    // passes through a file of its own for a moment while it is written.
    constexpr size_t kFilesBeingWritten = 5;
    for (int wait = 0; wait < 1000 && entries().size() < before.size() + kFilesBeingWritten; ++wait) usleep(10000);
    EXPECT_GE(entries().size(), before.size() + kFilesBeingWritten);
    kill(renderer, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(renderer, &status, 0), renderer);

    EXPECT_TRUE(WIFSIGNALED(status)) << "the render ended before it was interrupted";
    EXPECT_EQ(entries(), before);
}

TEST_F(RenderFailureTest, HelpListsEveryOptionAndSucceeds) {
    const RendererRun run = render({"--help"});

    EXPECT_EQ(run.exitCode, 0);
    for (const char* option : {"--out", "--plugin", "--block", "--accumulate", "--float", "--bench", "--quiet", "--help",
                               "--program", "--program-name", "--ratio", "--threshold", "--threshold-db", "--attack",
                               "--release", "--makeup", "--makeup-db", "--bypass", "--editor-png", "--plot",
                               "--meter-csv", "--preset", "--save-preset"}) {
        EXPECT_NE(run.output.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(entries(), std::set<std::string>{});
}

}  // namespace

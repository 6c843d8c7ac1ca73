// The bundle under the LV2 format's own tools: lv2_validate finds nothing
// to complain of, lv2info lists what hosts will list, and lv2apply renders
// through it, bit for bit, what zq3r-render renders through the VST library
// at the same settings: each factory program and a setting of our own, from
// the built bundle and from an installed one.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/FactoryPrograms.h"
#include "engine/ParameterDescriptions.h"
#include "engine/StateChunk.h"
#include "lv2/Lv2Uris.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tests/tools/RenderTestFolder.h"
#include "tests/tools/TestAudio.h"

using namespace lv2Ports;

namespace {

using Environment = std::vector<std::pair<std::string, std::string>>;

std::string numberText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

// The working values a preset file of the renderer holds: its last 36 bytes
// are the chunk of the working values.
std::vector<float> workingValuesOf(const std::string& presetPath) {
    std::ifstream file(presetPath, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<float> values(kParameterCount);
    if (bytes.size() < stateChunk::kWorkingValuesSize) return {};
    const size_t chunk = bytes.size() - stateChunk::kWorkingValuesSize;
    std::memcpy(values.data(), bytes.data() + chunk + stateChunk::kWorkingValues.offset, stateChunk::kWorkingValues.size);
    return values;
}

class Lv2ToolsTest : public RenderTestFolder {
protected:
    void SetUp() override {
        RenderTestFolder::SetUp();
        writeAudio(path("in.wav"), makeTestSignal(66150, 2, 44100), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    }

    RendererRun tool(const std::string& name, const std::vector<std::string>& arguments,
                     const std::string& lv2Path = ZQ3R_LV2_PATH) {
        return runProgram(name, arguments, folder, Environment{{"LV2_PATH", lv2Path}});
    }

    // lv2apply with the port readings given, into `output`.
    void applyPlugin(const std::string& output, const std::vector<std::pair<std::string, float>>& readings,
                     const std::string& lv2Path = ZQ3R_LV2_PATH) {
        std::vector<std::string> arguments = {"-i", "in.wav", "-o", output};
        for (const auto& [symbol, reading] : readings) {
            arguments.insert(arguments.end(), {"-c", symbol, numberText(reading)});
        }
        arguments.push_back(lv2Uris::kPlugin);
        const RendererRun run = tool("lv2apply", arguments, lv2Path);
        ASSERT_EQ(run.exitCode, 0) << run.output;
    }

    void expectSameAudio(const std::string& fromLv2, const std::string& fromVst) {
        const TestAudio lv2 = readAudio(path(fromLv2));
        const TestAudio vst = readAudio(path(fromVst));
        ASSERT_EQ(lv2.frames(), vst.frames());
        EXPECT_EQ(lv2.left, vst.left);
        EXPECT_EQ(lv2.right, vst.right);
    }
};

}  // namespace

TEST_F(Lv2ToolsTest, TheValidatorFindsNothingToComplainOf) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(ZQ3R_LV2_PATH) + "/zq3r-compressor.lv2")) {
        if (entry.path().extension() == ".ttl") files.push_back(entry.path().string());
    }
    ASSERT_EQ(files.size(), 3u);
    const RendererRun run = tool("lv2_validate", files);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Found 0 errors"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("error:"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("warning"), std::string::npos) << run.output;
}

TEST_F(Lv2ToolsTest, Lv2infoListsTheNamePortsAndPresets) {
    const RendererRun run = tool("lv2info", {lv2Uris::kPlugin});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const char* expected : {"Name:              ZQ3R Compressor", "Author:            ZQ3R",
                                 "http://lv2plug.in/ns/ext/state#interface", "Designation: http://lv2plug.in/ns/lv2core#enabled",
                                 "Symbol:      gain_reduction", "Symbol:      notify"}) {
        EXPECT_NE(run.output.find(expected), std::string::npos) << expected << "\n" << run.output;
    }
    for (int32_t parameter = 1; parameter < kParameterCount; ++parameter) {
        EXPECT_NE(run.output.find(std::string("Name:        ") + parameterDescriptions[parameter].name), std::string::npos);
    }
    for (const char* program : factoryProgramNames) {
        EXPECT_NE(run.output.find(std::string("         ") + program + "\n"), std::string::npos) << program;
    }
}

// Each factory program as its preset sets the ports, against the renderer
// choosing it in the editor's program row.
TEST_F(Lv2ToolsTest, Lv2applyRendersEachFactoryProgramLikeTheVstLibrary) {
    Lv2TestHost host;
    for (int program = 0; program < kFactoryProgramCount; ++program) {
        SCOPED_TRACE(program);
        const std::string number = std::to_string(program);
        const auto readings = host.presetPortValues(lv2Uris::kPresetPrefix + number);
        ASSERT_EQ(readings.size(), static_cast<size_t>(kParameterCount));
        applyPlugin("lv2-" + number + ".wav", readings);
        const RendererRun run = render({"in.wav", "--out", "vst-" + number + ".wav", "--program", number, "--quiet"});
        ASSERT_EQ(run.exitCode, 0) << run.output;
        expectSameAudio("lv2-" + number + ".wav", "vst-" + number + ".wav");
    }
}

// A setting of our own, made in the renderer's editor: the values it really
// took come from the preset file it saves, and reach lv2apply as port
// readings. Then the same through a bundle installed the way users install
// it, for everyone and for one user.
TEST_F(Lv2ToolsTest, Lv2applyRendersASettingOfOurOwnLikeTheVstLibraryAlsoWhenInstalled) {
    const RendererRun run = render({"in.wav", "--out", "vst.wav", "--ratio", "0.3", "--threshold-db", "-27", "--attack",
                                    "0.07", "--release", "0.8", "--makeup-db", "6.5", "--save-preset", "own.fxp", "--quiet"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::vector<float> values = workingValuesOf(path("own.fxp"));
    ASSERT_EQ(values.size(), static_cast<size_t>(kParameterCount));
    std::vector<std::pair<std::string, float>> readings;
    readings.emplace_back(kEnabledSymbol, portReading(kPower, values[kPower]));
    for (int32_t parameter = 1; parameter < kParameterCount; ++parameter) {
        readings.emplace_back(parameterDescriptions[parameter].symbol, portReading(parameter, values[parameter]));
    }
    applyPlugin("lv2.wav", readings);
    expectSameAudio("lv2.wav", "vst.wav");

    for (const auto& [component, bundleFolder] : {std::pair<std::string, std::string>{"lv2", "usr/lib/lv2"},
                                                  {"user-lv2", "home/.lv2"}}) {
        SCOPED_TRACE(component);
        const std::string prefix = path(component == "lv2" ? "usr" : "home/.lv2");
        const RendererRun install = runProgram("cmake", {"--install", ZQ3R_BUILD_FOLDER, "--component", component, "--prefix", prefix}, folder);
        ASSERT_EQ(install.exitCode, 0) << install.output;
        applyPlugin("installed.wav", readings, path(bundleFolder));
        expectSameAudio("installed.wav", "vst.wav");
    }
}

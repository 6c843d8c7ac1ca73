// Preset files end to end: what one run saves, the next loads and renders
// the same; a damaged or foreign file is refused like a bad option, with a
// message that names the problem and no file left behind.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/tools/RenderTestFolder.h"
#include "tests/tools/TestAudio.h"

namespace {

constexpr int kExitUsage = 2;

std::string readBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

void putNumber(std::string& bytes, size_t offset, uint32_t value, bool bigEndian) {
    for (size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * (bigEndian ? 3 - i : i)));
}

class RenderPresetTest : public RenderTestFolder {
protected:
    void SetUp() override {
        RenderTestFolder::SetUp();
        writeAudio(path("in.wav"), makeTestSignal(11025, 2, 44100), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    }

    RendererRun renderWith(const std::string& output, std::vector<std::string> settings) {
        std::vector<std::string> arguments = {"in.wav", "--out", output};
        arguments.insert(arguments.end(), settings.begin(), settings.end());
        return render(arguments);
    }
};

// A program file carries the working values, which are all the sound
// depends on; a bank file carries the program row's state as well, which
// shows when it is saved again.
TEST_F(RenderPresetTest, WhatOneRunSavesTheNextLoadsAndRendersTheSame) {
    const std::vector<std::string> settings[] = {
        {"--program", "1", "--ratio", "0.8", "--threshold-db", "-31", "--release", "0.2", "--save-preset", "set.fxp"},
        {"--program", "2", "--attack", "0.3", "--bypass", "--save-preset", "set.fxb"},
    };
    const char* shown[] = {"ratio 0.8, threshold 0.225 (-31.0 dB), attack 0, release 0.2",
                           "Limiter -12dB (program 2), power off (bypassed)"};
    for (int round = 0; round < 2; ++round) {
        const std::string name = settings[round].back();
        SCOPED_TRACE(name);
        const RendererRun saving = renderWith("first.wav", settings[round]);
        ASSERT_EQ(saving.exitCode, 0) << saving.output;
        std::filesystem::create_directories(path("again"));
        const RendererRun loading = renderWith("second.wav", {"--preset", name, "--save-preset", "again/" + name});
        ASSERT_EQ(loading.exitCode, 0) << loading.output;

        EXPECT_NE(loading.output.find(shown[round]), std::string::npos) << loading.output;
        // Sample for sample: the files' own headers carry the time they were written.
        const TestAudio first = readAudio(path("first.wav"));
        const TestAudio second = readAudio(path("second.wav"));
        EXPECT_EQ(second.left, first.left);
        EXPECT_EQ(second.right, first.right);
        EXPECT_EQ(readBytes(path("again/" + name)), readBytes(path(name)));
    }
}

// A program file is one program, whatever its chunk holds: a host that saved
// the whole state into an .fxp gets the sound back, and the stored programs,
// the program shown and the copy slot of the plug-in it is loaded into stay
// as they are.
TEST_F(RenderPresetTest, AProgramFileHoldingAWholeStateLoadsOnlyItsWorkingValues) {
    constexpr size_t kProgramChunkAt = 60;
    constexpr size_t kBankChunkAt = 160;
    constexpr size_t kWorkingValuesAt = 12;
    constexpr size_t kWorkingValuesEnd = 36;
    ASSERT_EQ(renderWith("set.wav", {"--program", "2", "--attack", "0.3", "--bypass", "--save-preset", "set.fxb"}).exitCode, 0);
    ASSERT_EQ(renderWith("factory.wav", {"--save-preset", "factory.fxb"}).exitCode, 0);
    const std::string wholeState = readBytes(path("set.fxb")).substr(kBankChunkAt);
    const std::string factoryState = readBytes(path("factory.fxb")).substr(kBankChunkAt);
    ASSERT_EQ(wholeState.size(), 164u);

    std::string crafted = readBytes(path("set.fxb")).substr(0, kProgramChunkAt);
    crafted.replace(8, 4, "FPCh");
    crafted.replace(28, 28, std::string(28, '\0'));
    putNumber(crafted, 56, static_cast<uint32_t>(wholeState.size()), true);
    crafted += wholeState;
    putNumber(crafted, 4, static_cast<uint32_t>(crafted.size() - 8), true);
    writeBytes(path("crafted.fxp"), crafted);

    const RendererRun run = renderWith("crafted.wav", {"--preset", "crafted.fxp", "--save-preset", "after.fxb"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    std::string expected = factoryState;
    expected.replace(kWorkingValuesAt, kWorkingValuesEnd - kWorkingValuesAt,
                     wholeState.substr(kWorkingValuesAt, kWorkingValuesEnd - kWorkingValuesAt));
    EXPECT_EQ(readBytes(path("after.fxb")).substr(kBankChunkAt), expected);
    EXPECT_EQ(readAudio(path("crafted.wav")).left, readAudio(path("set.wav")).left);
}

struct BadPreset {
    const char* name;
    // Makes the file from a valid program file's bytes.
    void (*damage)(std::string& bytes);
    const char* message;
};

std::ostream& operator<<(std::ostream& stream, const BadPreset& bad) { return stream << bad.name; }

class RenderBadPresetTest : public RenderPresetTest, public ::testing::WithParamInterface<BadPreset> {};

TEST_P(RenderBadPresetTest, IsRefusedAsABadOptionAndLeavesNoFile) {
    ASSERT_EQ(renderWith("first.wav", {"--ratio", "0.8", "--save-preset", "good.fxp"}).exitCode, 0);
    std::string bytes = readBytes(path("good.fxp"));
    GetParam().damage(bytes);
    writeBytes(path("bad.fxp"), bytes);
    const std::set<std::string> before = entries();

    const RendererRun run = renderWith("out.wav", {"--preset", "bad.fxp", "--save-preset", "new.fxb", "--editor-png", "e.png"});

    EXPECT_EQ(run.exitCode, kExitUsage) << run.output;
    EXPECT_NE(run.output.find(GetParam().message), std::string::npos) << run.output;
    EXPECT_EQ(entries(), before);
}

// Offsets in a program file: the header's numbers from 0 (big-endian), the
// chunk from 60, its working values from 72.
INSTANTIATE_TEST_SUITE_P(
    Files, RenderBadPresetTest,
    ::testing::Values(
        BadPreset{"NotAPreset", [](std::string& b) { b = "RIFF and more"; }, "is not a preset file"},
        BadPreset{"Empty", [](std::string& b) { b.clear(); }, "is not a preset file"},
        BadPreset{"CutInItsMagic", [](std::string& b) { b.resize(3); }, "is not a preset file"},
        BadPreset{"CutInItsCount", [](std::string& b) { b.resize(6); }, "ends inside its header"},
        BadPreset{"CutInTheHeader", [](std::string& b) { b.resize(30); }, "is truncated"},
        BadPreset{"CutInTheChunk", [](std::string& b) { b.pop_back(); }, "is truncated"},
        BadPreset{"CutWithItsCount", [](std::string& b) { b.resize(40); putNumber(b, 4, 32, true); }, "ends inside its header"},
        BadPreset{"LongerThanItsCount", [](std::string& b) { b += '\0'; }, "is damaged"},
        BadPreset{"ChunkSize", [](std::string& b) { putNumber(b, 56, 35, true); }, "its chunk should be 35 bytes, 36 follow"},
        BadPreset{"ParameterList", [](std::string& b) { b.replace(8, 4, "FxCk"); }, "lists parameter values ('FxCk')"},
        BadPreset{"ParameterBank", [](std::string& b) { b.replace(8, 4, "FxBk"); }, "('FxBk')"},
        BadPreset{"UnknownKind", [](std::string& b) { b.replace(8, 4, "Wxyz"); }, "of a kind the renderer does not know"},
        BadPreset{"FormatVersion", [](std::string& b) { putNumber(b, 12, 3, true); }, "format version 3"},
        BadPreset{"OtherPlugin", [](std::string& b) { b.replace(16, 4, "Abcd"); },
                  "belongs to another plug-in (id 'Abcd'), not to 'ZQ3R Compressor (linked in)' (id 'ZQ3R')"},
        BadPreset{"ChunkMagic", [](std::string& b) { b[60] = 'X'; }, "refused the settings of preset 'bad.fxp'"},
        BadPreset{"NewerChunk", [](std::string& b) { putNumber(b, 64, 2, false); }, "from a newer version"},
        BadPreset{"ValueOutOfRange", [](std::string& b) { putNumber(b, 76, 0x40000000, false); }, "refused the settings"},
        BadPreset{"NotANumber", [](std::string& b) { putNumber(b, 80, 0x7FC00000, false); }, "refused the settings"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RenderPresetTest, PresetsThatCannotBeMadeAreRefusedAsBadOptions) {
    const std::set<std::string> before = entries();
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    };
    const Case cases[] = {
        {{"in.wav", "--out", "x.wav", "--preset", "missing.fxp"}, "preset 'missing.fxp' does not exist"},
        {{"in.wav", "--out", "x.wav", "--save-preset", "settings.txt"}, "writes a .fxp file (one program) or a .fxb file"},
        {{"in.wav", "--save-preset", "s.fxp", "--bench", "1"}, "--bench writes no file, so --save-preset does not apply"},
        {{"in.wav", "--out", "x.wav", "--plugin", ZQ3R_MONO_PLUGIN, "--save-preset", "s.fxb"},
         "keeps no settings in a chunk"},
    };
    for (const Case& bad : cases) {
        const RendererRun run = render(bad.arguments);
        EXPECT_EQ(run.exitCode, kExitUsage) << run.output;
        EXPECT_NE(run.output.find(bad.message), std::string::npos) << run.output;
        EXPECT_EQ(entries(), before);
    }
}

}  // namespace

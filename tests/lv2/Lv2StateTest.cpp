// The plug-in's saved state: the bytes of the VST library's chunk under one
// property, checked as the VST library checks them; the presets' program;
// the program row's messages from the UI; and a save that runs while the
// audio thread takes them.
#include <gtest/gtest.h>
#include <dlfcn.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "engine/FactoryPrograms.h"
#include "engine/StateChunk.h"
#include "host/AEffect.h"
#include "lv2/Lv2Uris.h"
#include "lv2/StateMessages.h"
#include "tests/lv2/Lv2TestHost.h"

using namespace lv2Ports;

namespace {

using Bytes = std::vector<uint8_t>;

intptr_t answerVersion(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) { return opcode == audioMasterVersion ? 2400 : 0; }

// The VST library as hosts load it, for the chunk it hands them.
class VstLibrary {
public:
    VstLibrary() {
        library = dlopen(ZQ3R_VST_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (!library) return;
        auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(library, "VSTPluginMain"));
        effect = entry ? entry(answerVersion) : nullptr;
    }
    ~VstLibrary() {
        if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        if (library) dlclose(library);
    }
    bool valid() const { return effect != nullptr; }
    bool setChunk(const Bytes& bytes) {
        return effect->dispatcher(effect, effSetChunk, 0, static_cast<intptr_t>(bytes.size()), const_cast<uint8_t*>(bytes.data()), 0.0f) == 1;
    }
    Bytes getChunk() {
        void* data = nullptr;
        const intptr_t size = effect->dispatcher(effect, effGetChunk, 0, 0, &data, 0.0f);
        const auto* bytes = static_cast<const uint8_t*>(data);
        return Bytes(bytes, bytes + size);
    }

private:
    void* library = nullptr;
    AEffect* effect = nullptr;
};

// A state no instance starts with: program 2 shown, knobs moved, the copy
// slot filled, and stored programs of its own.
CompressorState unusualState() {
    CompressorState state;
    state.currentProgram = 2;
    for (int32_t program = 0; program < kFactoryProgramCount; ++program) {
        for (int32_t k = 0; k < kParameterCount; ++k) state.programs[program].values[k] = factoryPrograms[program][k];
    }
    state.programs[3].values[kRatio] = 0.25f;
    const float working[kParameterCount] = {0.0f, 0.7f, 0.35f, 0.42f, 0.61f, 0.55f};
    for (int32_t k = 0; k < kParameterCount; ++k) state.working.values[k] = working[k];
    state.copySlotFilled = true;
    state.copySlot = state.working;
    state.copySlot.values[kThreshold] = 0.9f;
    return state;
}

Bytes chunkOf(const CompressorState& state) {
    Bytes bytes(stateChunk::kWholeStateSize);
    bytes.resize(stateChunk::write(state, stateChunk::kWholeState, bytes.data()));
    return bytes;
}

class Lv2StateTest : public ::testing::Test {
protected:
    Lv2TestHost host;
    Lv2Instance plugin{host, 44100.0};
    LV2_URID stateKey = host.getUrids().map(lv2Uris::kState);
    LV2_URID programKey = host.getUrids().map(lv2Uris::kProgram);
    LV2_URID chunkType = host.getUrids().map(LV2_ATOM__Chunk);

    StoredState stateHolding(const Bytes& chunk, LV2_URID type = 0) {
        return StoredState{{stateKey, StoredProperty{chunk, type ? type : chunkType}}};
    }

    Bytes savedChunk() {
        StoredState saved;
        EXPECT_EQ(plugin.save(saved), LV2_STATE_SUCCESS);
        EXPECT_EQ(saved.size(), 1u);
        EXPECT_EQ(saved[stateKey].type, chunkType);
        return saved[stateKey].value;
    }

    // The ports as a host restores them with the state: the readings of its
    // working values.
    void setPortsFrom(const CompressorState& state) {
        for (int32_t k = 0; k < kParameterCount; ++k) plugin.port(portOfParameter(k)) = portReading(k, state.working.values[k]);
    }

    void runBlock() {
        float left[64] = {}, right[64] = {};
        plugin.run(left, right, left, right, 64);
    }

    Bytes message(bool (*write)(LV2_Atom_Forge*, const Lv2Urids&, const CompressorState&), const CompressorState& state) {
        uint8_t buffer[1024];
        LV2_Atom_Forge forge;
        lv2_atom_forge_init(&forge, host.getUrids().mapFeature());
        lv2_atom_forge_set_buffer(&forge, buffer, sizeof buffer);
        EXPECT_TRUE(write(&forge, Lv2Urids(host.getUrids().mapFeature()), state));
        const auto* atom = reinterpret_cast<const LV2_Atom*>(buffer);
        return Bytes(buffer, buffer + sizeof(LV2_Atom) + atom->size);
    }
};

bool writeRequest(LV2_Atom_Forge* forge, const Lv2Urids& urids, const CompressorState&) {
    return stateMessages::writeStateRequest(forge, urids);
}

}  // namespace

// What the VST library hands its host, the LV2 plug-in takes, and saves the
// same bytes again: before its first block, and after a block in which the
// host's ports hold the state's values.
TEST_F(Lv2StateTest, SavesTheVstLibrarysChunkBytes) {
    ASSERT_TRUE(plugin.valid());
    VstLibrary vst;
    ASSERT_TRUE(vst.valid());
    ASSERT_TRUE(vst.setChunk(chunkOf(unusualState())));
    const Bytes fromVst = vst.getChunk();
    ASSERT_EQ(fromVst.size(), stateChunk::kWholeStateSize);

    ASSERT_EQ(plugin.restore(stateHolding(fromVst)), LV2_STATE_SUCCESS);
    EXPECT_EQ(savedChunk(), fromVst);
    setPortsFrom(unusualState());
    runBlock();
    EXPECT_EQ(savedChunk(), fromVst);

    // And back: the VST library takes what the LV2 plug-in saved.
    VstLibrary again;
    ASSERT_TRUE(again.setChunk(savedChunk()));
    EXPECT_EQ(again.getChunk(), fromVst);
}

// Each damage the VST library refuses, the LV2 plug-in refuses too, and
// keeps the state it had.
TEST_F(Lv2StateTest, RefusesADamagedStateAndKeepsItsOwn) {
    ASSERT_TRUE(plugin.valid());
    const Bytes good = chunkOf(unusualState());
    ASSERT_EQ(plugin.restore(stateHolding(good)), LV2_STATE_SUCCESS);

    struct Damage {
        const char* what;
        void (*apply)(Bytes&);
    };
    const Damage damages[] = {
        {"one byte short", [](Bytes& b) { b.pop_back(); }},
        {"one byte more", [](Bytes& b) { b.push_back(0); }},
        {"another magic", [](Bytes& b) { b[0] = 'X'; }},
        {"a newer version", [](Bytes& b) { b[4] = 2; }},
        {"a value that is no number", [](Bytes& b) { std::memset(&b[16], 0xff, 4); }},
        {"a fifth program", [](Bytes& b) { b[36] = 4; }},
        {"a copy slot flag of 2", [](Bytes& b) { b[136] = 2; }},
        {"nothing at all", [](Bytes& b) { b.clear(); }},
    };
    VstLibrary vst;
    ASSERT_TRUE(vst.valid());
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        Bytes damaged = chunkOf(CompressorState());
        damage.apply(damaged);
        EXPECT_FALSE(vst.setChunk(damaged));
        EXPECT_NE(plugin.restore(stateHolding(damaged)), LV2_STATE_SUCCESS);
        EXPECT_EQ(savedChunk(), good);
    }
    // The right bytes under another type are not the state either.
    EXPECT_EQ(plugin.restore(stateHolding(chunkOf(CompressorState()), host.getUrids().map(LV2_ATOM__String))),
              LV2_STATE_ERR_BAD_TYPE);
    EXPECT_EQ(savedChunk(), good);
}

// A factory preset, loaded by lilv as hosts load it, sets the ports and the
// program the panel shows, and leaves the stored programs and the copy slot
// alone; a state with nothing in it resets the row, as LV2 asks.
TEST_F(Lv2StateTest, APresetShowsItsProgramAndAnEmptyStateResets) {
    ASSERT_TRUE(plugin.valid());
    const CompressorState before = unusualState();
    ASSERT_EQ(plugin.restore(stateHolding(chunkOf(before))), LV2_STATE_SUCCESS);

    ASSERT_TRUE(plugin.loadPreset(std::string(lv2Uris::kPresetPrefix) + "3"));
    runBlock();
    CompressorState expected = before;
    expected.currentProgram = 3;
    for (int32_t k = 0; k < kParameterCount; ++k) expected.working.values[k] = factoryPrograms[3][k];
    EXPECT_EQ(savedChunk(), chunkOf(expected));

    ASSERT_EQ(plugin.restore(StoredState()), LV2_STATE_SUCCESS);
    CompressorState fresh;
    for (int32_t program = 0; program < kFactoryProgramCount; ++program) {
        for (int32_t k = 0; k < kParameterCount; ++k) fresh.programs[program].values[k] = factoryPrograms[program][k];
    }
    for (float& value : fresh.copySlot.values) value = 0.0f;
    const Bytes reset = savedChunk();
    const Bytes expectedReset = chunkOf(fresh);
    ASSERT_EQ(reset.size(), expectedReset.size());
    EXPECT_TRUE(std::equal(reset.begin() + stateChunk::kCurrentProgram.offset, reset.end(),
                           expectedReset.begin() + stateChunk::kCurrentProgram.offset));
}

// The UI's program row reaches the saved state through the message port,
// and a request for the state is answered on the notify port; a damaged
// chunk from the UI changes nothing.
TEST_F(Lv2StateTest, TheUisMessagesReachTheStateAndItsRequestIsAnswered) {
    ASSERT_TRUE(plugin.valid());
    const CompressorState row = unusualState();
    setPortsFrom(row);
    plugin.sendMessage(message(stateMessages::writeState, row));
    runBlock();
    EXPECT_EQ(savedChunk(), chunkOf(row));
    EXPECT_TRUE(plugin.notifications().empty());

    Bytes damaged = message(stateMessages::writeState, CompressorState());
    damaged.back() = 0x7f;  // the copy slot's last value, far above 1
    plugin.sendMessage(damaged);
    plugin.sendMessage(message(writeRequest, row));
    runBlock();
    EXPECT_EQ(savedChunk(), chunkOf(row));
    const auto answers = plugin.notifications();
    ASSERT_EQ(answers.size(), 1u);
    CompressorState answered;
    const Lv2Urids urids(host.getUrids().mapFeature());
    ASSERT_EQ(stateMessages::read(reinterpret_cast<const LV2_Atom*>(answers[0].data()), urids, answered),
              stateMessages::Kind::state);
    EXPECT_EQ(chunkOf(answered), chunkOf(row));
}

// A host may save while the audio thread runs and takes the UI's messages:
// every save holds one whole state that was sent, never a mix of two.
TEST_F(Lv2StateTest, ASaveBesideTheAudioThreadHoldsOneWholeState) {
    ASSERT_TRUE(plugin.valid());
    CompressorState first = unusualState();
    CompressorState second = first;
    second.currentProgram = 1;
    for (CompressorProgram& program : second.programs) program.values[kRelease] = 0.125f;
    second.copySlot.values[kAttack] = 0.875f;
    const Bytes messages[2] = {message(stateMessages::writeState, first), message(stateMessages::writeState, second)};
    setPortsFrom(first);
    plugin.sendMessage(messages[0]);
    runBlock();

    std::atomic<bool> saving{true};
    std::thread audio([&] {
        for (int round = 1; saving.load(); ++round) {
            plugin.sendMessage(messages[round % 2]);
            runBlock();
        }
    });
    const Bytes expected[2] = {chunkOf(first), chunkOf(second)};
    for (int save = 0; save < 2000; ++save) {
        const Bytes saved = savedChunk();
        if (saved != expected[0] && saved != expected[1]) {
            ADD_FAILURE() << "save " << save << " holds a mix";
            break;
        }
    }
    saving.store(false);
    audio.join();
}

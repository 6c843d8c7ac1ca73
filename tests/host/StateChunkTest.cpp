// The state chunk as hosts meet it, through the record's effGetChunk and
// effSetChunk: whatever bytes a host hands over, the plug-in either takes
// a valid chunk whole or stays exactly as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "HostTestSupport.h"
#include "engine/CompressorPlugin.h"
#include "engine/StateChunk.h"
#include "host/PluginEntry.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr float kInfinity = std::numeric_limits<float>::infinity();

class ChunkHost : public ::testing::Test {
protected:
    void SetUp() override {
        plugin = pluginMain(FakeHost::callback);
        other = pluginMain(FakeHost::callback);
        ASSERT_NE(plugin, nullptr);
        ASSERT_NE(other, nullptr);
        // Two different states, every part of them away from a new instance's.
        moveAwayFromFactory(engineOf(plugin), 0.25f);
        moveAwayFromFactory(engineOf(other), 0.75f);
    }
    void TearDown() override {
        for (AEffect* record : {plugin, other}) {
            if (record) record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
        }
    }

    static CompressorEngine& engineOf(AEffect* record) {
        return *static_cast<CompressorPlugin*>(static_cast<EffectBase*>(record->object))->getEngine();
    }

    static void moveAwayFromFactory(CompressorEngine& engine, float knob) {
        engine.setParameter(kRatio, knob);
        engine.setParameter(kCopyCommand, 0.0f);
        engine.setParameter(kNextCommand, 0.0f);
        engine.setParameter(kAttack, knob / 2.0f);
        engine.setParameter(kPower, 0.5f);
    }

    static Bytes getChunk(AEffect* record, bool preset) {
        void* data = nullptr;
        const intptr_t size = record->dispatcher(record, effGetChunk, preset ? 1 : 0, 0, &data, 0.0f);
        if (size <= 0 || !data) return {};
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        return Bytes(bytes, bytes + size);
    }

    static intptr_t setChunk(AEffect* record, const Bytes& chunk, bool preset) {
        return setChunk(record, chunk, preset, static_cast<intptr_t>(chunk.size()));
    }
    static intptr_t setChunk(AEffect* record, const Bytes& chunk, bool preset, intptr_t claimedSize) {
        void* data = const_cast<uint8_t*>(chunk.data());
        return record->dispatcher(record, effSetChunk, preset ? 1 : 0, claimedSize, data, 0.0f);
    }

    AEffect* plugin = nullptr;
    AEffect* other = nullptr;
    FakeHost host;
};

void putNumber(Bytes& chunk, uint32_t offset, uint32_t value) {
    for (uint32_t i = 0; i < 4; ++i) chunk[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void putFloat(Bytes& chunk, uint32_t offset, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    putNumber(chunk, offset, bits);
}

struct Damage {
    std::string what;
    Bytes chunk;
};

// Every way a chunk of the other instance can be broken.
std::vector<Damage> damagedChunks(const Bytes& whole, const Bytes& preset) {
    using namespace stateChunk;
    std::vector<Damage> damaged;
    auto add = [&](const std::string& what, const Bytes& base, auto change) {
        Bytes chunk = base;
        change(chunk);
        damaged.push_back({what, chunk});
    };
    for (const Bytes* base : {&whole, &preset}) {
        const std::string kind = base == &whole ? "whole state " : "working values ";
        for (size_t length = 0; length < base->size(); ++length)
            damaged.push_back({kind + "cut to " + std::to_string(length), Bytes(base->begin(), base->begin() + length)});
        add(kind + "one byte longer", *base, [](Bytes& c) { c.push_back(0); });
        for (uint32_t i = 0; i < kMagic.size; ++i)
            add(kind + "magic byte " + std::to_string(i), *base, [i](Bytes& c) { c[i] ^= 0x20; });
        for (uint32_t version : {0u, 2u, 0xFFFFFFFFu})
            add(kind + "version " + std::to_string(version), *base, [=](Bytes& c) { putNumber(c, kVersion.offset, version); });
        for (uint32_t contents : {2u, 0x100u, base == &whole ? 1u : 0u})
            add(kind + "contents " + std::to_string(contents), *base, [=](Bytes& c) { putNumber(c, kContents.offset, contents); });
        const uint32_t values = (static_cast<uint32_t>(base->size()) - kWorkingValues.offset) / kNumberSize;
        for (uint32_t value = 0; value < values; ++value) {
            const uint32_t offset = kWorkingValues.offset + value * kNumberSize;
            // The copy slot's and the current program's fields are not values.
            if (offset == kCurrentProgram.offset || offset == kCopySlotFilled.offset) continue;
            for (float bad : {-1e-7f, std::nextafter(1.0f, 2.0f), 2.0f, -kInfinity, kInfinity, std::nanf(""), -std::nanf("")})
                add(kind + "value at " + std::to_string(offset) + " = " + std::to_string(bad), *base,
                    [=](Bytes& c) { putFloat(c, offset, bad); });
        }
    }
    for (uint32_t program : {4u, 0xFFFFFFFFu})
        add("program " + std::to_string(program), whole, [=](Bytes& c) { putNumber(c, kCurrentProgram.offset, program); });
    add("copy slot filled 2", whole, [](Bytes& c) { putNumber(c, kCopySlotFilled.offset, 2); });
    add("empty copy slot with values", whole, [](Bytes& c) { putNumber(c, kCopySlotFilled.offset, 0); });
    return damaged;
}

TEST_F(ChunkHost, RefusesEveryDamagedChunkAndChangesNothing) {
    const Bytes before = getChunk(plugin, false);
    const Bytes whole = getChunk(other, false);
    const Bytes preset = getChunk(other, true);
    ASSERT_EQ(whole.size(), stateChunk::kWholeStateSize);
    ASSERT_EQ(preset.size(), stateChunk::kWorkingValuesSize);
    ASSERT_NE(Bytes(whole.begin() + stateChunk::kWorkingValues.offset, whole.end()),
              Bytes(before.begin() + stateChunk::kWorkingValues.offset, before.end()));

    for (const Damage& damage : damagedChunks(whole, preset)) {
        for (bool presetFlag : {false, true}) {
            EXPECT_EQ(setChunk(plugin, damage.chunk, presetFlag), 0) << damage.what;
            ASSERT_EQ(getChunk(plugin, false), before) << damage.what;
        }
    }

    // No pointer, a size that does not fit the bytes, or none at all.
    EffectBase* effect = static_cast<EffectBase*>(plugin->object);
    EXPECT_EQ(effect->setChunk(nullptr, static_cast<int32_t>(whole.size()), 0), 0);
    EXPECT_EQ(plugin->dispatcher(plugin, effSetChunk, 0, 164, nullptr, 0.0f), 0);
    for (intptr_t size : {intptr_t{0}, intptr_t{-1}, intptr_t{INT_MIN}, intptr_t{INT_MAX}, intptr_t{1} << 20})
        EXPECT_EQ(setChunk(plugin, whole, false, size), 0) << "size " << size;
    EXPECT_EQ(getChunk(plugin, false), before);

    // The same chunks undamaged are taken.
    EXPECT_EQ(setChunk(plugin, whole, false), 1);
    EXPECT_EQ(getChunk(plugin, false), whole);
}

// Random chunks, and valid ones with a few bytes changed, under either flag.
// A chunk that is taken is taken exactly: the plug-in then hands out the
// same bytes, and a preset (either flag or chunk says so) changes the
// working values alone. One that is refused leaves every byte of the state
// as it was.
TEST_F(ChunkHost, RandomChunksAreTakenExactlyOrNotAtAll) {
    std::mt19937 random(14);
    const Bytes valid[] = {getChunk(other, false), getChunk(other, true)};
    int taken = 0;
    for (int round = 0; round < 100000; ++round) {
        Bytes chunk;
        if (round % 2 == 0) {
            chunk.resize(random() % (stateChunk::kWholeStateSize + 8));
            for (uint8_t& byte : chunk) byte = static_cast<uint8_t>(random());
            // Half of them with a valid header, to reach the values.
            const size_t header = stateChunk::kWorkingValues.offset;
            if (chunk.size() >= header && round % 4 == 0) std::copy_n(valid[random() % 2].begin(), header, chunk.begin());
        } else {
            chunk = valid[random() % 2];
            for (int change = 1 + random() % 3; change > 0; --change)
                chunk[random() % chunk.size()] ^= static_cast<uint8_t>(1u << (random() % 8));
        }
        const Bytes before = getChunk(plugin, false);
        const bool presetFlag = random() % 2;
        if (setChunk(plugin, chunk, presetFlag) == 1) {
            ++taken;
            const Bytes after = getChunk(plugin, false);
            const uint32_t workingEnd = stateChunk::kWorkingValues.end();
            ASSERT_TRUE(std::equal(after.begin() + stateChunk::kWorkingValues.offset, after.begin() + workingEnd,
                                   chunk.begin() + stateChunk::kWorkingValues.offset))
                << "round " << round;
            if (!presetFlag && chunk.size() == stateChunk::kWholeStateSize) {
                ASSERT_EQ(after, chunk) << "round " << round;
            } else {
                ASSERT_TRUE(std::equal(after.begin() + workingEnd, after.end(), before.begin() + workingEnd))
                    << "round " << round << ": a preset changed more than the working values";
            }
        } else {
            ASSERT_EQ(getChunk(plugin, false), before) << "round " << round;
        }
    }
    EXPECT_GT(taken, 1000);
    EXPECT_LT(taken, 50000);
}

// A host that loads one program (an .fxp, or a preset of its own list) says
// so. Whatever else the chunk holds, only its working values are taken: the
// stored programs, the copy slot and the program shown stay as they were.
TEST_F(ChunkHost, APresetTakesOnlyTheWorkingValuesOfAWholeState) {
    const Bytes before = getChunk(plugin, false);
    const Bytes whole = getChunk(other, false);
    Bytes expected = before;
    std::copy(whole.begin() + stateChunk::kWorkingValues.offset, whole.begin() + stateChunk::kWorkingValues.end(),
              expected.begin() + stateChunk::kWorkingValues.offset);
    ASSERT_NE(expected, whole);

    EXPECT_EQ(setChunk(plugin, whole, true), 1);
    EXPECT_EQ(getChunk(plugin, false), expected);
    EXPECT_EQ(setChunk(plugin, getChunk(other, true), true), 1);
    EXPECT_EQ(getChunk(plugin, false), expected);
    // A whole state is taken whole only when the host loads a whole state.
    EXPECT_EQ(setChunk(plugin, whole, false), 1);
    EXPECT_EQ(getChunk(plugin, false), whole);
}

// Hosts restore a session's chunk and may also push the parameter values
// they saved with it, before or after, and then choose the program shown
// again: every order ends in the state that was saved.
TEST_F(ChunkHost, ChunkAndParameterValuesInEitherOrderEndInTheSavedState) {
    const Bytes saved = getChunk(other, false);
    float values[kParameterCount];
    for (int32_t index = 0; index < kParameterCount; ++index) values[index] = other->getParameter(other, index);
    const intptr_t program = other->dispatcher(other, effGetProgram, 0, 0, nullptr, 0.0f);
    ASSERT_EQ(program, 1);
    for (bool chunkFirst : {true, false}) {
        AEffect* restored = pluginMain(FakeHost::callback);
        ASSERT_NE(restored, nullptr);
        if (chunkFirst) {
            EXPECT_EQ(setChunk(restored, saved, false), 1);
        }
        for (int32_t index = 0; index < kParameterCount; ++index) restored->setParameter(restored, index, values[index]);
        if (!chunkFirst) {
            EXPECT_EQ(setChunk(restored, saved, false), 1);
        }
        restored->dispatcher(restored, effSetProgram, 0, program, nullptr, 0.0f);
        EXPECT_EQ(getChunk(restored, false), saved) << (chunkFirst ? "chunk first" : "values first");
        restored->dispatcher(restored, effClose, 0, 0, nullptr, 0.0f);
    }
}

}  // namespace

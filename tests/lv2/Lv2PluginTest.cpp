// The LV2 plug-in as a host drives it: found by lilv in the built bundle,
// its ports set in their units, its audio compared bit for bit with the
// engine's at the values the ports stand for.
#include <gtest/gtest.h>
#include <lv2/presets/presets.h>

#include <algorithm>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/CompressorEngine.h"
#include "engine/FactoryPrograms.h"
#include "tests/lv2/Lv2TestHost.h"

using namespace lv2Ports;

namespace {

constexpr double kSampleRate = 48000.0;

struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(size_t frames) : left(frames), right(frames) {}
};

// Loud and quiet bursts of two tones, so that the compressor works and rests.
Stereo testSignal(size_t frames) {
    Stereo signal(frames);
    for (size_t i = 0; i < frames; ++i) {
        const double loudness = (i / 3000) % 2 ? 0.05 : 0.95;
        signal.left[i] = static_cast<float>(loudness * std::sin(0.031 * static_cast<double>(i)));
        signal.right[i] = static_cast<float>(0.7 * loudness * std::sin(0.047 * static_cast<double>(i)));
    }
    return signal;
}

// One change of the ports before a block, in their units, as a host's
// automation or generic controls make them.
struct PortChange {
    size_t atFrame;
    uint32_t port;
    float reading;
};

}  // namespace

// Blocks of odd sizes, one of them in place, with every port moved on the
// way: the output is the engine's to the bit at the values the ports stand
// for, and the gain-reduction port shows the engine's meter.
TEST(Lv2Plugin, SoundsLikeTheEngineAtTheValuesItsPortsStandFor) {
    Lv2TestHost host;
    Lv2Instance plugin(host, kSampleRate);
    ASSERT_TRUE(plugin.valid());

    const Stereo input = testSignal(24000);
    const std::vector<PortChange> changes = {
        {4000, portOfParameter(kRatio), 85.0f},      {4000, portOfParameter(kThreshold), -31.5f},
        {9000, portOfParameter(kAttack), 12.0f},     {9000, portOfParameter(kRelease), 900.0f},
        {12000, portOfParameter(kMakeUpGain), 9.0f}, {15000, portOfParameter(kPower), 0.0f},
        {19000, portOfParameter(kPower), 1.0f},      {19000, portOfParameter(kThreshold), -4.0f},
    };
    const size_t blockSizes[] = {1, 37, 512, 64, 4095};

    CompressorEngine engine(static_cast<float>(kSampleRate), 0);
    for (int32_t k = 0; k < kParameterCount; ++k) engine.setParameter(k, factoryPrograms[0][k]);
    Stereo viaPlugin(input.left.size());
    Stereo viaEngine(input.left.size());
    size_t change = 0;
    float largestReduction = 0.0f;
    for (size_t start = 0, block = 0; start < input.left.size(); ++block) {
        for (; change < changes.size() && changes[change].atFrame <= start; ++change) {
            plugin.port(changes[change].port) = changes[change].reading;
            const int32_t parameter = parameterOfPort(changes[change].port);
            engine.setParameter(parameter, parameterValueOfPort(parameter, changes[change].reading));
        }
        const size_t frames = std::min(blockSizes[block % 5], input.left.size() - start);
        const uint32_t count = static_cast<uint32_t>(frames);
        if (block % 3 == 0) {  // in place, as hosts may run it
            std::copy_n(&input.left[start], frames, &viaPlugin.left[start]);
            std::copy_n(&input.right[start], frames, &viaPlugin.right[start]);
            plugin.run(&viaPlugin.left[start], &viaPlugin.right[start], &viaPlugin.left[start], &viaPlugin.right[start], count);
        } else {
            plugin.run(&input.left[start], &input.right[start], &viaPlugin.left[start], &viaPlugin.right[start], count);
        }
        engine.processReplacing(&input.left[start], &input.right[start], &viaEngine.left[start], &viaEngine.right[start],
                                static_cast<int32_t>(frames));
        ASSERT_EQ(plugin.port(kGainReduction), engine.getVu(0)) << "block at " << start;
        largestReduction = std::max(largestReduction, engine.getVu(0));
        start += frames;
    }
    EXPECT_EQ(viaPlugin.left, viaEngine.left);
    EXPECT_EQ(viaPlugin.right, viaEngine.right);
    EXPECT_GT(largestReduction, 0.1f);  // the compressor did work
}

// The default readings are the factory program's values, and every value a
// knob can take reads as a number that leads back to it, within what a
// float reading can tell apart.
TEST(Lv2Plugin, PortReadingsLeadBackToTheirValues) {
    Lv2TestHost host;
    std::vector<float> defaults(kCount);
    lilv_plugin_get_port_ranges_float(host.getPlugin(), nullptr, nullptr, defaults.data());
    for (int32_t parameter = 0; parameter < kParameterCount; ++parameter) {
        SCOPED_TRACE(parameter);
        EXPECT_EQ(parameterValueOfPort(parameter, defaults[portOfParameter(parameter)]), factoryPrograms[0][parameter]);
        for (int step = 0; step <= 1000; ++step) {
            const float value = parameter == kPower ? float(step % 2) : static_cast<float>(step) / 1000.0f;
            const float back = parameterValueOfPort(parameter, portReading(parameter, value));
            ASSERT_NEAR(back, value, 2e-6f) << "value " << value;
        }
    }
    EXPECT_EQ(portReading(kPower, 0.0f), 1.0f);  // compressing: the host's "enabled"
    EXPECT_EQ(parameterValueOfPort(kPower, 0.0f), 1.0f);
    EXPECT_EQ(parameterValueOfPort(kThreshold, -90.0f), 0.0f);  // outside the range: its end
    EXPECT_EQ(parameterValueOfPort(kRelease, 1e9f), 1.0f);
    EXPECT_EQ(parameterValueOfPort(kAttack, 0.0f), 0.0f);
    EXPECT_TRUE(std::isnan(parameterValueOfPort(kRatio, std::numeric_limits<float>::quiet_NaN())));
}

// A port that reads no number leaves its parameter where it was; a host
// that offers no features at all still gets a working compressor, which then
// saves no state.
TEST(Lv2Plugin, BadPortValuesAndAHostWithoutFeatures) {
    Lv2TestHost host;
    Lv2Instance plain(host, kSampleRate);
    Lv2Instance bare(host, kSampleRate, false);
    ASSERT_TRUE(plain.valid() && bare.valid());

    const Stereo input = testSignal(6000);
    Stereo fromPlain(input.left.size());
    Stereo fromBare(input.left.size());
    bare.port(portOfParameter(kThreshold)) = std::numeric_limits<float>::quiet_NaN();
    bare.port(portOfParameter(kRatio)) = std::numeric_limits<float>::infinity();
    plain.port(portOfParameter(kRatio)) = 100.0f;
    plain.run(input.left.data(), input.right.data(), fromPlain.left.data(), fromPlain.right.data(), 6000);
    bare.run(input.left.data(), input.right.data(), fromBare.left.data(), fromBare.right.data(), 6000);
    EXPECT_EQ(fromBare.left, fromPlain.left);
    EXPECT_EQ(fromBare.right, fromPlain.right);

    StoredState state;
    EXPECT_EQ(bare.save(state), LV2_STATE_ERR_NO_FEATURE);
    EXPECT_TRUE(state.empty());
}

// The bundle as hosts list it: lilv finds the plug-in under its name with
// its ports and the four factory programs as presets.
TEST(Lv2Plugin, HostsFindItsNamePortsAndPresets) {
    Lv2TestHost host;
    ASSERT_NE(host.getPlugin(), nullptr);
    LilvNode* name = lilv_plugin_get_name(host.getPlugin());
    EXPECT_STREQ(lilv_node_as_string(name), "ZQ3R Compressor");
    lilv_node_free(name);
    EXPECT_EQ(lilv_plugin_get_num_ports(host.getPlugin()), static_cast<uint32_t>(kCount));

    LilvNode* presetClass = lilv_new_uri(host.getWorld(), LV2_PRESETS__Preset);
    LilvNodes* presets = lilv_plugin_get_related(host.getPlugin(), presetClass);
    std::vector<std::string> labels;
    LILV_FOREACH (nodes, i, presets) {
        lilv_world_load_resource(host.getWorld(), lilv_nodes_get(presets, i));
        LilvState* preset = lilv_state_new_from_world(host.getWorld(), host.getUrids().mapFeature(), lilv_nodes_get(presets, i));
        ASSERT_NE(preset, nullptr);
        labels.push_back(lilv_state_get_label(preset));
        lilv_state_free(preset);
    }
    lilv_nodes_free(presets);
    lilv_node_free(presetClass);
    std::sort(labels.begin(), labels.end());
    std::vector<std::string> expected(factoryProgramNames, factoryProgramNames + kFactoryProgramCount);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(labels, expected);
}

// The LV2 builds of three stereo compressors in one run, hosted alike: ours,
// LSP Compressor Stereo and ZamCompX2, on the same music (the renderer's
// drum and bass demo), in blocks of 64 and 512 frames, at their default
// settings. lv2bench cannot host ZamCompX2, which requires the options
// feature; this host offers it (block lengths and sample rate), with a URI
// map and bounded block lengths. Plug-ins that are not installed are
// skipped.
#include <benchmark/benchmark.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/render/DemoSong.h"

namespace {

constexpr double kSampleRate = DemoSong::kSampleRate;
constexpr int32_t kLargestBlock = 512;

struct Contender {
    const char* name;
    const char* uri;
};

const Contender contenders[] = {
    {"ZQ3R", "urn:zq3r:compressor"},
    {"LSP", "http://lsp-plug.in/plugins/lv2/compressor_stereo"},
    {"ZamCompX2", "urn:zamaudio:ZamCompX2"},
};

struct Song {
    std::vector<float> left, right;
    Song() {
        DemoSong song;
        left.resize(static_cast<size_t>(song.frameCount()));
        right.resize(left.size());
        song.render(left.data(), right.data(), static_cast<int>(left.size()));
    }
};

class UridMap {
public:
    LV2_URID map(const char* uri) {
        for (size_t i = 0; i < uris.size(); ++i) {
            if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
        }
        uris.emplace_back(uri);
        return static_cast<LV2_URID>(uris.size());
    }
    LV2_URID_Map feature{this, [](LV2_URID_Map_Handle self, const char* uri) { return static_cast<UridMap*>(self)->map(uri); }};

private:
    std::vector<std::string> uris;
};

// What every contender is offered.
class HostFeatures {
public:
    explicit HostFeatures(UridMap& urids) {
        const LV2_URID intType = urids.map(LV2_ATOM__Int);
        const LV2_URID floatType = urids.map(LV2_ATOM__Float);
        options[0] = {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_BUF_SIZE__minBlockLength), sizeof(int32_t), intType, &smallestBlock};
        options[1] = {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), intType, &largestBlock};
        options[2] = {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t), intType, &largestBlock};
        options[3] = {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_PARAMETERS__sampleRate), sizeof(float), floatType, &rate};
        options[4] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
        mapFeature = {LV2_URID__map, &urids.feature};
        optionsFeature = {LV2_OPTIONS__options, options};
        boundedFeature = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
    }
    const LV2_Feature* const* list() const { return all; }

private:
    int32_t smallestBlock = 1;
    int32_t largestBlock = kLargestBlock;
    float rate = static_cast<float>(kSampleRate);
    LV2_Options_Option options[5];
    LV2_Feature mapFeature, optionsFeature, boundedFeature;
    const LV2_Feature* all[4] = {&mapFeature, &optionsFeature, &boundedFeature, nullptr};
};

struct Host {
    LilvWorld* world = lilv_world_new();
    UridMap urids;
    HostFeatures features{urids};
    Song song;

    Host() {
        LilvNode* path = lilv_new_string(world, ZQ3R_LV2_PATH ":/usr/lib/lv2");
        lilv_world_set_option(world, LILV_OPTION_LV2_PATH, path);
        lilv_node_free(path);
        lilv_world_load_all(world);
    }
    ~Host() { lilv_world_free(world); }

    const LilvPlugin* find(const char* uri) {
        LilvNode* node = lilv_new_uri(world, uri);
        const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), node);
        lilv_node_free(node);
        return plugin;
    }
};

Host& host() {
    static Host shared;
    return shared;
}

// One instance with every port connected: the first two audio inputs to
// the song, other audio inputs (side chains) to silence, audio outputs to
// scratch, controls at their defaults, message ports to empty sequences.
class Instance {
public:
    explicit Instance(const LilvPlugin* plugin) : plugin(plugin) {
        instance = lilv_plugin_instantiate(plugin, kSampleRate, host().features.list());
        if (!instance) return;
        const uint32_t count = lilv_plugin_get_num_ports(plugin);
        controls.assign(count, 0.0f);
        lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, controls.data());
        LilvWorld* world = host().world;
        LilvNode* audioClass = lilv_new_uri(world, LV2_CORE__AudioPort);
        LilvNode* inputClass = lilv_new_uri(world, LV2_CORE__InputPort);
        LilvNode* atomClass = lilv_new_uri(world, LV2_ATOM__AtomPort);
        messages.resize(count);
        for (uint32_t index = 0; index < count; ++index) {
            const LilvPort* port = lilv_plugin_get_port_by_index(plugin, index);
            const bool input = lilv_port_is_a(plugin, port, inputClass);
            if (lilv_port_is_a(plugin, port, audioClass)) {
                (input ? audioInputs : audioOutputs).push_back(index);
            } else if (lilv_port_is_a(plugin, port, atomClass)) {
                messages[index].reset(new Message());
                messages[index]->input = input;
                lilv_instance_connect_port(instance, index, &messages[index]->sequence);
            } else {
                if (controls[index] != controls[index]) controls[index] = 0.0f;
                lilv_instance_connect_port(instance, index, &controls[index]);
            }
        }
        lilv_node_free(audioClass);
        lilv_node_free(inputClass);
        lilv_node_free(atomClass);
        for (size_t i = 0; i < audioOutputs.size(); ++i) {
            lilv_instance_connect_port(instance, audioOutputs[i], i == 0 ? outLeft : i == 1 ? outRight : scratch);
        }
        for (size_t i = 2; i < audioInputs.size(); ++i) lilv_instance_connect_port(instance, audioInputs[i], silence);
        lilv_instance_activate(instance);
    }
    ~Instance() {
        if (!instance) return;
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
    bool valid() const { return instance && audioInputs.size() >= 2 && audioOutputs.size() >= 2; }

    void run(const float* left, const float* right, uint32_t frames) {
        lilv_instance_connect_port(instance, audioInputs[0], const_cast<float*>(left));
        lilv_instance_connect_port(instance, audioInputs[1], const_cast<float*>(right));
        for (auto& message : messages) {
            if (message) message->reset(sequenceType);
        }
        lilv_instance_run(instance, frames);
    }

private:
    struct Message {
        bool input = false;
        LV2_Atom_Sequence sequence = {};
        uint8_t room[8192] = {};
        void reset(LV2_URID type) {
            sequence.atom.type = type;
            sequence.atom.size = input ? sizeof(LV2_Atom_Sequence_Body) : sizeof room;
            sequence.body = {0, 0};
        }
    };

    const LilvPlugin* plugin;
    const LV2_URID sequenceType = host().urids.map(LV2_ATOM__Sequence);
    LilvInstance* instance = nullptr;
    std::vector<float> controls;
    std::vector<uint32_t> audioInputs, audioOutputs;
    std::vector<std::unique_ptr<Message>> messages;
    float outLeft[kLargestBlock], outRight[kLargestBlock], scratch[kLargestBlock], silence[kLargestBlock] = {};
};

void processSong(benchmark::State& state, const char* uri) {
    const LilvPlugin* plugin = host().find(uri);
    if (!plugin) {
        state.SkipWithError("not installed");
        return;
    }
    Instance instance(plugin);
    if (!instance.valid()) {
        state.SkipWithError("cannot be instantiated as a stereo effect");
        return;
    }
    const uint32_t block = static_cast<uint32_t>(state.range(0));
    const Song& song = host().song;
    const size_t blocks = song.left.size() / block;
    size_t index = 0;
    for (auto _ : state) {
        const size_t offset = (index++ % blocks) * block;
        instance.run(&song.left[offset], &song.right[offset], block);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * block);
    state.counters["ns_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations() * block),
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

int registerContenders() {
    for (const Contender& contender : contenders) {
        benchmark::RegisterBenchmark(contender.name, processSong, contender.uri)->Arg(64)->Arg(512);
    }
    return 0;
}

const int registered = registerContenders();

}  // namespace

BENCHMARK_MAIN();

#include "lv2/CompressorLv2.h"

#include <lv2/atom/util.h>

#include <limits>

using namespace lv2Ports;

namespace {

// Any rate: only the meter's interval depends on it.
constexpr float kFactoryRate = 44100.0f;

}  // namespace

// The engine's block size plays no part in its sound; its meter counts 20 ms
// at the host's rate.
CompressorLv2::CompressorLv2(double sampleRate, const LV2_Feature* const* features)
    : engine(static_cast<float>(sampleRate), 0),
      urids(findUridMap(features)),
      programRow(engine.getState()) {
    // Without a URI map there are no messages to write.
    if (LV2_URID_Map* map = findUridMap(features)) lv2_atom_forge_init(&forge, map);
    forgetPortValues();
}

void CompressorLv2::connectPort(uint32_t port, void* data) {
    if (port < kFirstParameter) {
        audio[port] = static_cast<float*>(data);
    } else if (isParameterPort(port)) {
        parameterPorts[parameterOfPort(port)] = static_cast<const float*>(data);
    } else if (port == kGainReduction) {
        gainReduction = static_cast<float*>(data);
    } else if (port == kControl) {
        control = static_cast<const LV2_Atom_Sequence*>(data);
    } else if (port == kNotify) {
        notify = static_cast<LV2_Atom_Sequence*>(data);
    }
}

// Messages first, then the ports, which hold the working values: a host
// shows, automates and saves them, so whatever the engine took before, the
// ports have the last word at every block.
void CompressorLv2::run(uint32_t frames) {
    takeMessages();
    takePortValues();
    engine.processReplacing(audio[kInLeft], audio[kInRight], audio[kOutLeft], audio[kOutRight],
                            static_cast<int32_t>(frames));
    if (gainReduction) *gainReduction = engine.getVu(0);
    sendMessages();
}

// The UI's program row changed the state: the row's part is kept for the
// next save, the working values follow from the ports the UI wrote.
void CompressorLv2::takeMessages() {
    if (!control || !urids.mapped()) return;
    LV2_ATOM_SEQUENCE_FOREACH(control, event) {
        CompressorState state = programRow.read();
        switch (stateMessages::read(&event->body, urids, state)) {
        case stateMessages::Kind::stateRequest: stateWanted = true; break;
        case stateMessages::Kind::state: programRow.publish(state); break;
        case stateMessages::Kind::none: break;
        }
    }
}

// Only a port that moved costs a conversion and new coefficients.
void CompressorLv2::takePortValues() {
    for (int32_t parameter = 0; parameter < kParameterCount; ++parameter) {
        if (!parameterPorts[parameter]) continue;
        const float reading = *parameterPorts[parameter];
        if (reading == lastReadings[parameter]) continue;
        lastReadings[parameter] = reading;
        const float value = parameterValueOfPort(parameter, reading);
        if (value == value) engine.setParameter(parameter, value);
    }
}

// No port reads NaN twice in a row as equal: every port is taken afresh at
// the next block.
void CompressorLv2::forgetPortValues() {
    for (float& reading : lastReadings) reading = std::numeric_limits<float>::quiet_NaN();
}

// Most blocks have nothing to say: the empty sequence is written directly.
void CompressorLv2::sendMessages() {
    if (!notify || !urids.mapped()) return;
    const uint32_t capacity = notify->atom.size;
    if (!stateWanted) {
        if (capacity < sizeof(LV2_Atom_Sequence_Body)) return;
        notify->atom.type = urids.atomSequence;
        notify->atom.size = sizeof(LV2_Atom_Sequence_Body);
        notify->body.unit = 0;
        notify->body.pad = 0;
        return;
    }
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(notify), capacity);
    LV2_Atom_Forge_Frame frame;
    if (!lv2_atom_forge_sequence_head(&forge, &frame, 0)) return;
    if (stateWanted) {
        lv2_atom_forge_frame_time(&forge, 0);
        if (stateMessages::writeState(&forge, urids, currentState())) stateWanted = false;
    }
    lv2_atom_forge_pop(&forge, &frame);
}

// The row's part as last taken, with the working values the engine has now.
CompressorState CompressorLv2::currentState() {
    CompressorState state = programRow.read();
    for (int32_t k = 0; k < kParameterCount; ++k) state.working.values[k] = engine.getParameter(k);
    return state;
}

LV2_State_Status CompressorLv2::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    if (!urids.mapped()) return LV2_STATE_ERR_NO_FEATURE;
    uint8_t bytes[stateChunk::kWholeStateSize];
    const uint32_t size = stateChunk::write(currentState(), stateChunk::kWholeState, bytes);
    return store(handle, urids.state, bytes, size, urids.atomChunk, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status CompressorLv2::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    if (!urids.mapped()) return LV2_STATE_ERR_NO_FEATURE;
    CompressorState state = currentState();
    size_t size = 0;
    uint32_t type = 0;
    uint32_t flags = 0;
    if (const void* chunk = retrieve(handle, urids.state, &size, &type, &flags)) {
        if (type != urids.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
        if (size > stateChunk::kWholeStateSize || !stateChunk::read(static_cast<const uint8_t*>(chunk), static_cast<uint32_t>(size), state))
            return LV2_STATE_ERR_UNKNOWN;
    } else if (const void* program = retrieve(handle, urids.program, &size, &type, &flags)) {
        if (type != urids.atomInt || size != sizeof(int32_t)) return LV2_STATE_ERR_BAD_TYPE;
        const int32_t index = *static_cast<const int32_t*>(program);
        if (index < 0 || index >= kFactoryProgramCount) return LV2_STATE_ERR_UNKNOWN;
        state.currentProgram = index;
    } else {
        state = CompressorEngine(kFactoryRate, 0).getState();
    }
    engine.restoreState(state);
    programRow.publish(state);
    forgetPortValues();
    stateWanted = true;
    return LV2_STATE_SUCCESS;
}

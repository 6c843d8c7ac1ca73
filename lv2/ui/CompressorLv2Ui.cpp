#include "lv2/ui/CompressorLv2Ui.h"

#include <ForeignWindows.h>
#include <lv2/atom/atom.h>

#include <cstring>
#include <limits>

#include "lv2/Lv2Ports.h"

using namespace lv2Ports;

namespace {

const void* findFeature(const LV2_Feature* const* features, const char* uri) {
    for (; features && *features; ++features) {
        if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
    }
    return nullptr;
}

bool requestState(LV2_Atom_Forge* forge, const Lv2Urids& urids, const CompressorState&) {
    return stateMessages::writeStateRequest(forge, urids);
}

}  // namespace

CompressorLv2Ui::CompressorLv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller,
                                 const LV2_Feature* const* features)
    : write(write),
      controller(controller),
      urids(findUridMap(features)),
      engine(*this),
      panel(&engine) {
    engine.setEditObserver(this);
    if (const auto* offered = static_cast<const LV2UI_Touch*>(findFeature(features, LV2_UI__touch))) touch = *offered;
    if (LV2_URID_Map* map = findUridMap(features)) {
        lv2_atom_forge_init(&forge, map);
        eventTransfer = map->map(map->handle, LV2_ATOM__eventTransfer);
    }
    for (float& value : lastWritten) value = std::numeric_limits<float>::quiet_NaN();
}

CompressorLv2Ui::~CompressorLv2Ui() {
    panel.close();
    serviceForeignWindows();
}

bool CompressorLv2Ui::open(const LV2_Feature* const* features) {
    const void* parent = findFeature(features, LV2_UI__parent);
    if (!parent || panel.buildControls() != 0) return false;
    HWND hostWindow = adoptForeignWindow(reinterpret_cast<uintptr_t>(parent));
    if (!hostWindow) return false;
    panel.open(hostWindow);
    serviceForeignWindows();
    if (!widget()) return false;
    const PixelRect rect = panel.getRect();
    if (const auto* resize = static_cast<const LV2UI_Resize*>(findFeature(features, LV2_UI__resize)))
        resize->ui_resize(resize->handle, rect.width, rect.height);
    // The program row's state is the plug-in's: ask for it.
    sendMessage(requestState);
    return true;
}

LV2UI_Widget CompressorLv2Ui::widget() const {
    return reinterpret_cast<LV2UI_Widget>(nativeWindowOf(panel.getChildWindow()));
}

void CompressorLv2Ui::editBegun(int32_t index) {
    if (touch.touch) touch.touch(touch.handle, portOfParameter(index), true);
}

void CompressorLv2Ui::editEnded(int32_t index) {
    if (touch.touch) touch.touch(touch.handle, portOfParameter(index), false);
}

void CompressorLv2Ui::valueEdited(int32_t index, float value) {
    const float reading = portReading(index, value);
    lastWritten[index] = reading;
    write(controller, portOfParameter(index), sizeof reading, 0, &reading);
}

void CompressorLv2Ui::rowChanged() { sendMessage(stateMessages::writeState); }

void CompressorLv2Ui::sendMessage(bool (*writeMessage)(LV2_Atom_Forge*, const Lv2Urids&, const CompressorState&)) {
    if (!urids.mapped()) return;
    alignas(8) uint8_t buffer[512];
    lv2_atom_forge_set_buffer(&forge, buffer, sizeof buffer);
    if (!writeMessage(&forge, urids, engine.getState())) return;
    const auto* atom = reinterpret_cast<const LV2_Atom*>(buffer);
    write(controller, kControl, static_cast<uint32_t>(sizeof(LV2_Atom) + atom->size), eventTransfer, atom);
}

// A port's value that this UI wrote itself comes back from many hosts: the
// panel has it already. Any other value is the host's, and from then on the
// host's word stands.
void CompressorLv2Ui::portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (!buffer) return;
    if (format == 0 && size == sizeof(float)) {
        const float reading = *static_cast<const float*>(buffer);
        if (port == kGainReduction) {
            engine.showMeterValue(reading);
        } else if (isParameterPort(port)) {
            const int32_t index = parameterOfPort(port);
            if (reading == lastWritten[index]) return;
            lastWritten[index] = std::numeric_limits<float>::quiet_NaN();
            const float value = parameterValueOfPort(index, reading);
            engine.receiveParameter(index, value);
            updatePending = true;
        }
    } else if (format == eventTransfer && eventTransfer && port == kNotify && size >= sizeof(LV2_Atom)) {
        takeMessage(static_cast<const LV2_Atom*>(buffer));
    }
}

// The plug-in's state, asked for when the UI opened, or restored since.
void CompressorLv2Ui::takeMessage(const LV2_Atom* atom) {
    CompressorState state = engine.getState();
    if (stateMessages::read(atom, urids, state) != stateMessages::Kind::state) return;
    engine.restoreState(state);
    for (float& value : lastWritten) value = std::numeric_limits<float>::quiet_NaN();
    updatePending = true;
}

void CompressorLv2Ui::idle() {
    serviceForeignWindows();
    if (!updatePending) return;
    updatePending = false;
    panel.updateControls();
}

#include "tests/lv2/UiOnDisplay.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>

#include <cstring>

#include "editor/PanelLayout.h"
#include "lv2/Lv2Uris.h"

namespace {

const LV2UI_Descriptor* uiDescriptor() {
    static const LV2UI_Descriptor* descriptor = [] {
        void* library = dlopen(ZQ3R_LV2_UI_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(library, nullptr) << dlerror();
        auto entry = library ? reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor")) : nullptr;
        return entry ? entry(0) : nullptr;
    }();
    return descriptor;
}

int idleOf(LV2UI_Handle handle) {
    const auto* idle = static_cast<const LV2UI_Idle_Interface*>(uiDescriptor()->extension_data(LV2_UI__idleInterface));
    return idle ? idle->idle(handle) : -1;
}

}  // namespace

float PortWrite::reading() const {
    float value = 0.0f;
    if (bytes.size() == sizeof value) std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

UiOnDisplay::UiOnDisplay(TestDisplay& display, HostGuiThread& gui, UridTable& urids, int32_t x, int32_t y)
    : display(display), gui(gui), urids(urids), touchFeature{this, touch} {
    hostWindow = display.createHostWindow(x, y, panelLayout::kPanelRect.width, panelLayout::kPanelRect.height);
}

UiOnDisplay::~UiOnDisplay() {
    close();
    if (hostWindow) display.destroyWindow(hostWindow);
}

bool UiOnDisplay::open() {
    const LV2UI_Descriptor* descriptor = uiDescriptor();
    if (!descriptor) return false;
    gui.run([&] {
        // This host's own id for the parent, as hosts hand it: a pointer-sized number.
        LV2UI_Resize resizeFeature = {this, resize};
        LV2_Feature parent = {LV2_UI__parent, reinterpret_cast<void*>(uintptr_t(hostWindow))};
        LV2_Feature map = {LV2_URID__map, urids.mapFeature()};
        LV2_Feature resizing = {LV2_UI__resize, &resizeFeature};
        LV2_Feature touching = {LV2_UI__touch, &touchFeature};
        const LV2_Feature* features[] = {&parent, &map, &resizing, touchOffered ? &touching : nullptr, nullptr};
        LV2UI_Widget widget = nullptr;
        handle = descriptor->instantiate(descriptor, lv2Uris::kPlugin, ZQ3R_LV2_PATH, writePort, this, &widget, features);
        uiWidget = reinterpret_cast<uintptr_t>(widget);
    });
    return handle != nullptr;
}

void UiOnDisplay::idle() {
    if (handle) idleOf(handle);
}

void UiOnDisplay::close() {
    if (!handle) return;
    gui.run([&] {
        uiDescriptor()->cleanup(handle);
        handle = nullptr;
    });
}

void UiOnDisplay::portEvent(uint32_t port, float reading) {
    gui.run([&] { uiDescriptor()->port_event(handle, port, sizeof reading, 0, &reading); });
}

void UiOnDisplay::portEvent(uint32_t port, const LV2_Atom* atom) {
    const uint32_t transfer = urids.map(LV2_ATOM__eventTransfer);
    gui.run([&] { uiDescriptor()->port_event(handle, port, sizeof(LV2_Atom) + atom->size, transfer, atom); });
}

std::vector<PortWrite> UiOnDisplay::takeWrites() {
    std::lock_guard<std::mutex> guard(writesLock);
    return std::move(writes);
}

void UiOnDisplay::destroyWindowFirst() {
    display.destroyWindow(hostWindow);
    hostWindow = 0;
}

void UiOnDisplay::writePort(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    static_cast<UiOnDisplay*>(controller)->record(PortWrite{port, format, std::vector<uint8_t>(bytes, bytes + size)});
}

void UiOnDisplay::touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
    using Touch = PortWrite::Touch;
    static_cast<UiOnDisplay*>(handle)->record(PortWrite{port, 0, {}, grabbed ? Touch::grabbed : Touch::released});
}

void UiOnDisplay::record(PortWrite write) {
    std::lock_guard<std::mutex> guard(writesLock);
    writes.push_back(std::move(write));
}

int UiOnDisplay::resize(LV2UI_Feature_Handle handle, int width, int height) {
    auto* self = static_cast<UiOnDisplay*>(handle);
    self->width = width;
    self->height = height;
    return 0;
}

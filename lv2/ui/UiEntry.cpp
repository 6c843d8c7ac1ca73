// The UI library's one exported name, the calls an LV2 host makes through
// the descriptor it returns, and the library's loader hooks.
#include <ForeignWindows.h>
#include <lv2/ui/ui.h>

#include <cstring>

#include "editor/CompressorPanel.h"
#include "engine/Allocation.h"
#include "host/ModuleInstance.h"
#include "lv2/Lv2Uris.h"
#include "lv2/ui/CompressorLv2Ui.h"
#include "resources/EmbeddedBitmaps.h"

namespace {

CompressorLv2Ui* uiOf(LV2UI_Handle handle) { return static_cast<CompressorLv2Ui*>(handle); }

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!write || !widget || !pluginUri || std::strcmp(pluginUri, lv2Uris::kPlugin) != 0) return nullptr;
    CompressorLv2Ui* ui = allocateObject<CompressorLv2Ui>(write, controller, features);
    if (ui && !ui->open(features)) {
        delete ui;
        return nullptr;
    }
    if (ui) *widget = ui->widget();
    return ui;
}

void cleanup(LV2UI_Handle handle) { delete uiOf(handle); }

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    uiOf(handle)->portEvent(port, size, format, buffer);
}

int idle(LV2UI_Handle handle) {
    uiOf(handle)->idle();
    return 0;
}

const LV2UI_Idle_Interface idleInterface = {idle};

const void* extensionData(const char* uri) {
    if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return &idleInterface;
    return nullptr;
}

const LV2UI_Descriptor descriptor = {lv2Uris::kUi, instantiate, cleanup, portEvent, extensionData};

// The window system learns of the library's bitmaps when it is loaded and
// forgets them when it is unloaded; it is the library's own copy and goes
// with it.
__attribute__((constructor)) void attachLibrary() {
    onLoaderNotification(registerModule(embeddedBitmaps, embeddedBitmapCount), DLL_PROCESS_ATTACH);
}

__attribute__((destructor)) void detachLibrary() {
    HINSTANCE module = moduleInstance;
    unregisterEditorWindowClasses();
    onLoaderNotification(module, DLL_PROCESS_DETACH);
    unregisterModule(module);
    releaseWindowSystem();
}

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}

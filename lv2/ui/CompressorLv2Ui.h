// The compressor's editor as an LV2 UI: the same panel, in the host's X11
// window, on an engine of its own that mirrors the plug-in's ports.
//
// - The panel's edits become port writes (the six parameters, in the
//   ports' units), and the program row's state a message to the plug-in,
//   which keeps and saves it. A hold on a knob or the power switch is the
//   host's touch gesture on that port, where the host offers ui:touch, so
//   that it can record the writes in between as automation.
// - The host's port changes and the plug-in's state reach the panel; the
//   meter follows the gain-reduction port.
// - The host drives it: every call, idle included, comes from the host's
//   user-interface thread.
#pragma once

#include <lv2/atom/forge.h>
#include <lv2/ui/ui.h>

#include "editor/CompressorPanel.h"
#include "lv2/StateMessages.h"
#include "lv2/ui/MirrorEngine.h"

class CompressorLv2Ui final : private EditObserver, private MirrorEngine::Row {
public:
    CompressorLv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2_Feature* const* features);
    ~CompressorLv2Ui();
    CompressorLv2Ui(const CompressorLv2Ui&) = delete;
    CompressorLv2Ui& operator=(const CompressorLv2Ui&) = delete;

    // Opens the panel in the host's window; false when there is none to
    // open in, or the panel could not be built.
    bool open(const LV2_Feature* const* features);
    // The X11 window the panel lives in, for the host.
    LV2UI_Widget widget() const;

    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    void idle();

private:
    // The panel as this UI owns it.
    class Panel : public CompressorPanel {
    public:
        explicit Panel(CompressorEngine* engine) : CompressorPanel(engine) {}
        ~Panel() {
            close();
            destroyControls();
        }
    };

    void editBegun(int32_t index) override;
    void valueEdited(int32_t index, float value) override;
    void editEnded(int32_t index) override;
    void programChanged() override {}  // the row's state follows in rowChanged
    void rowChanged() override;
    void sendMessage(bool (*write)(LV2_Atom_Forge*, const Lv2Urids&, const CompressorState&));
    void takeMessage(const LV2_Atom* atom);

    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    LV2UI_Touch touch = {};  // no function: the host offers no gestures
    Lv2Urids urids;
    LV2_URID eventTransfer = 0;
    LV2_Atom_Forge forge = {};
    MirrorEngine engine;
    Panel panel;
    float lastWritten[kParameterCount];  // what this UI last wrote to each port
    bool updatePending = false;
};

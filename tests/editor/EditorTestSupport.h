// A host's side of the editor for the tests: a plug-in instance reached only
// through its record, the windows a host gives the editor, and the committed
// pictures that every build's captures must equal.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "CapturedImage.h"
#include "HostWindow.h"
#include "editor/PanelLayout.h"
#include "host/AEffect.h"

// The size the editor reports to hosts, and so the host windows' client size.
constexpr int32_t kEditorWidth = panelLayout::kPanelRect.width;
constexpr int32_t kEditorHeight = panelLayout::kPanelRect.height;

class CompressorEditor;
class CompressorEngine;

// One plug-in instance from the entry point, closed with effClose unless a
// test has closed it already.
class PluginInstance {
public:
    PluginInstance();
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    AEffect* record() const { return effect; }
    intptr_t dispatch(int32_t opcode, intptr_t value = 0, void* ptr = nullptr) const;
    // effClose now; the record is gone afterwards.
    void close();

    // Behind the record: the plug-in's engine and its editor.
    CompressorEngine* engine() const;
    CompressorEditor* editor() const;

    // Runs processReplacing over this many frames of a constant level on both
    // channels, in blocks as a host sends them.
    void processConstant(float level, int32_t frames) const;
    // Loud and quiet stretches through processReplacing, as a host plays a
    // song; both output channels, one block after another.
    std::vector<float> playSong() const;

private:
    AEffect* effect = nullptr;
};


// Whether "GenericWindowClass" is registered for the plug-in's module, found
// by creating (and at once destroying) a hidden window of it.
bool genericClassRegistered();

// The about popups on the screen.
int aboutPopupCount();
HWND aboutPopup();

// The committed picture tests/editor/reference/<name>.png (or, for "factory",
// docs/editor-factory.png, the README's picture). A native run with
// ZQ3R_WRITE_REFERENCE_PICTURES=1 in its environment writes the file from the
// capture instead and says so; nothing is written otherwise.
::testing::AssertionResult matchesReference(const CapturedImage& capture, const std::string& name);

// The image enlarged by whole pixels, as the README shows the editor.
CapturedImage enlarged(const CapturedImage& image, int factor);

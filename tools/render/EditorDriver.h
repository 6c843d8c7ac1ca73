// Makes the renderer's settings the way a person makes them, in the
// plug-in's editor: presses next-program, turns knobs, clicks the power
// switch. The program comes first, since loading one sets every parameter;
// then the knobs; the power switch last, since every program switches the
// compressor on.
#pragma once

#include <string>

#include "EditorSession.h"
#include "tools/render/LinkedCompressor.h"
#include "tools/render/PanelState.h"
#include "tools/render/RenderOptions.h"

class EditorDriver {
public:
    EditorDriver(EditorSession& session, const LinkedCompressor& compressor);

    // Returns what the panel should show afterwards.
    PanelState apply(const EditorSettings& settings);

private:
    void selectProgram(int32_t program, PanelState& expected);
    void turnKnob(ParameterIndex index, float position, PanelState& expected);
    void switchOff(PanelState& expected);

    EditorSession& session;
    const LinkedCompressor& compressor;
};

// The whole visit to the editor: opens it in a host window of ours, makes the
// settings, checks that each one took, saves the picture (PNG) into
// `picturePath` when one is asked for, and closes it again.
bool setThroughEditor(AEffect* record, const EditorSettings& settings, const std::string& picturePath,
                      std::string& error);

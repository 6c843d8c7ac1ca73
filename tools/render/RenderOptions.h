// What one run of the renderer is asked to do, as read from its command line.
#pragma once

#include <optional>
#include <string>

#include "engine/ParameterIndex.h"

// What the renderer sets through the plug-in's editor before processing.
struct EditorSettings {
    int program = -1;  // factory program to step to with next-program; -1: the first one
    // Knob positions by parameter index; power (index 0) is the switch, not a knob.
    std::optional<float> knobs[kParameterCount];
    bool bypass = false;  // click the power switch

    bool any() const {
        for (const std::optional<float>& knob : knobs) {
            if (knob.has_value()) return true;
        }
        return program >= 0 || bypass;
    }
};

struct RenderOptions {
    std::string inputPath;   // empty: synthesize and render the embedded demo
    std::string outputPath;  // empty: out/<input name>-zq3r.wav, or out/demo-out.wav
    std::string pluginPath;  // empty: the plug-in linked into this program
    int blockSize = 512;
    bool accumulate = false;  // drive the plug-in's accumulating `process`
    bool writeFloat = false;  // 32-bit float WAV instead of the input's sample format
    bool quiet = false;
    int benchPasses = 0;  // non-zero: measure instead of writing a file
    bool showHelp = false;

    std::string presetPath;      // preset file loaded before the editor's settings
    std::string savePresetPath;  // preset file written once every setting is made
    EditorSettings settings;
    std::string editorPicturePath;  // PNG of the editor after the settings
    std::string plotPath;           // PNG plot of levels and gain reduction
    std::string meterPath;          // CSV of the engine's gain-reduction values

    // The editor opens only when something asks for it.
    bool needsEditor() const { return settings.any() || !editorPicturePath.empty(); }
};

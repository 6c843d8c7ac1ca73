#include "tools/render/SettingsText.h"

#include <cstdio>
#include <cstdlib>

#include "engine/FactoryPrograms.h"
#include "tools/render/KnobTable.h"

std::string shortestText(float value) {
    char text[32];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtof(text, nullptr) == value) break;
    }
    return text;
}

std::string programAndPowerText(const PanelState& state) {
    std::string text = state.program >= 0 && state.program < kFactoryProgramCount
                           ? std::string(factoryProgramNames[state.program])
                           : std::string("unknown");
    text += " (program " + std::to_string(state.program) + "), power ";
    return text + (state.bypassed ? "off (bypassed)" : "on");
}

std::string knobsText(const PanelState& state) {
    std::string text;
    for (const KnobDescription& knob : kKnobs) {
        const float position = state.parameters[knob.index];
        if (!text.empty()) text += ", ";
        text += std::string(knob.name) + " " + shortestText(position);
        if (knob.decibels != nullptr) {
            char unit[32];
            std::snprintf(unit, sizeof unit, " (%+.1f dB)", knob.decibels->decibelsAt(position));
            text += unit;
        }
    }
    return text;
}

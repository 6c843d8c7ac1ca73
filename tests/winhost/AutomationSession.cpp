#include "AutomationSession.h"

#include <cstdio>
#include <sstream>
#include <thread>
#include <vector>

#include "EditorSession.h"

namespace {

struct HeardCall {
    AEffect* effect;
    int32_t opcode;
    int32_t index;
    float value;
    std::thread::id thread;
};

// One session at a time: the callback is a plain function, as hosts give it.
std::vector<HeardCall> heardCalls;

intptr_t listeningHost(AEffect* effect, int32_t opcode, int32_t index, intptr_t, void*, float opt) {
    if (opcode == audioMasterVersion) return 2400;
    heardCalls.push_back(HeardCall{effect, opcode, index, opt, std::this_thread::get_id()});
    return 0;
}

std::string valueText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

// "begin 2, automate 2 = 0.5, end 2, display": what the host heard since the
// last call, in order.
std::string heardSinceLast() {
    std::string text;
    for (const HeardCall& call : heardCalls) {
        if (!text.empty()) text += ", ";
        switch (call.opcode) {
        case audioMasterBeginEdit: text += "begin " + std::to_string(call.index); break;
        case audioMasterAutomate: text += "automate " + std::to_string(call.index) + " = " + valueText(call.value); break;
        case audioMasterEndEdit: text += "end " + std::to_string(call.index); break;
        case audioMasterUpdateDisplay: text += "display"; break;
        default: text += "opcode " + std::to_string(call.opcode); break;
        }
    }
    heardCalls.clear();
    return text;
}

struct Gesture {
    const char* what;
    std::vector<MousePoint> path;  // a click is a path of one point
    const char* heard;
};

// From a new instance: program 0, power on, threshold 0.6.
const Gesture kGestures[] = {
    // Pressed right of the centre (5/6), then turned straight up (0.5).
    {"the threshold knob turned", {{145, 42}, {145, 42}, {130, 27}},
     "begin 2, automate 2 = 0.833333, automate 2 = 0.5, end 2"},
    {"the threshold knob held where it stands", {{130, 27}, {130, 27}}, "begin 2, end 2"},
    {"the power switch pressed", {{41, 34}}, "begin 0, automate 0 = 0.5, end 0"},
    // Program 1 has power on, ratio 1, threshold 0.6 and attack 0.
    {"next program", {{254, 109}}, "automate 0 = 0, automate 1 = 1, automate 2 = 0.6, automate 3 = 0, display"},
    {"copy", {{20, 109}}, ""},
    {"previous program", {{234, 109}}, "automate 1 = 0.5, automate 3 = 0.18, display"},
    {"reset, with nothing to reset", {{284, 109}}, "display"},
    {"paste", {{60, 109}}, "automate 1 = 1, automate 3 = 0, display"},
    {"the preset button", {{100, 109}}, ""},
};

}  // namespace

std::string runAutomationSession(EntryPoint entry) {
    heardCalls.clear();
    AEffect* record = entry(listeningHost);
    if (!record) return "the entry point returned no record";
    std::ostringstream problems;
    {
        EditorSession session(record);
        if (!session.isOpen()) problems << "effEditOpen made no editor window; ";
        heardSinceLast();
        for (const Gesture& gesture : kGestures) {
            session.drag(gesture.path);
            for (const HeardCall& call : heardCalls) {
                if (call.effect != record) problems << gesture.what << ": a call named another record; ";
                if (call.thread != std::this_thread::get_id()) problems << gesture.what << ": a call on another thread; ";
            }
            const std::string heard = heardSinceLast();
            if (heard != gesture.heard)
                problems << gesture.what << ": the host heard \"" << heard << "\", not \"" << gesture.heard << "\"; ";
        }
        // The host reads back what it was told, and its own writes are never
        // reported back to it, neither at once nor at the editor's idle.
        if (record->getParameter(record, 1) != 1.0f || record->getParameter(record, 0) != 0.0f)
            problems << "the host reads other values than it was told; ";
        record->setParameter(record, 2, 0.25f);
        session.idle();
        record->dispatcher(record, effSetProgram, 0, 3, nullptr, 0.0f);
        session.idle();
        const std::string heard = heardSinceLast();
        if (!heard.empty()) problems << "the host's own changes came back to it: \"" << heard << "\"; ";
    }
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    heardCalls.clear();
    return problems.str();
}

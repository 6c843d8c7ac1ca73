// The host's requests other than processing and parameter access: one opcode
// and four operands in, one integer out.
#include <climits>
#include <cmath>

#include "editor/EditorBase.h"
#include "host/EffectBase.h"
#include "host/HostWindowSystem.h"

namespace {

// The meter reaches the host as a 16-bit-scaled integer. A level far outside
// the meter's range, or no number at all, must not turn into an undefined
// conversion: it saturates, and NaN reads as silence.
int32_t vuToHostScale(float level) {
    const double scaled = static_cast<double>(level) * 32767.0;
    if (std::isnan(scaled)) return 0;
    if (scaled >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    if (scaled <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    return static_cast<int32_t>(scaled);
}

// Opcodes whose ptr operand is a buffer or an address to write through. A
// host that passes null gets 0 and nothing is written.
bool needsPointer(int32_t opcode) {
    switch (opcode) {
    case effSetProgramName:
    case effGetProgramName:
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
    case effEditGetRect:
    case effGetChunk:
    case effSetChunk:
    case effGetProgramNameIndexed:
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
        return true;
    default:
        return false;
    }
}

}  // namespace

// The host's window may be no window at all (on Linux an id that names none,
// or no display): then nothing opens and the host hears so. An editor still
// open on another thread closes first; on this thread it closes as it opens.
intptr_t EffectBase::openEditor(void* hostWindow) {
    if (editorOpenOnAnotherThread()) closeEditor();
    HWND parent = nullptr;
    if (!hostWindowSystem().windowOf(hostWindow, &parent)) return 0;
    const intptr_t opened = editor->open(parent);
    if (opened) editorHostWindow = hostWindow;
    hostWindowSystem().service();
    return opened;
}

// Where only the thread that opened the editor serves its windows (Linux,
// where effEditIdle is the only message loop), a host may still idle or
// close the editor from another thread. Naming the host's window on the
// calling thread then takes the other thread's windows in it off the screen;
// the editor closes, asking that thread to destroy them without waiting for
// it, and to be idled opens again on the calling thread.
bool EffectBase::editorOpenOnAnotherThread() const {
    return editorHostWindow && !hostWindowSystem().servedHere(editor->getHostWindow());
}

void EffectBase::closeEditor() {
    if (editorOpenOnAnotherThread()) {
        // Named here, the host's window is adopted by this thread, which
        // takes the other thread's windows in it off the screen at once.
        HWND unused = nullptr;
        hostWindowSystem().windowOf(editorHostWindow, &unused);
    }
    editor->close();
    editorHostWindow = nullptr;
    hostWindowSystem().service();
}

// The editor opcodes come from the host's user-interface threads, and the
// window system's service runs there with them. The others may come from
// any thread but the audio thread; every operation they reach allows that.
intptr_t EffectBase::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    if (static_cast<uint32_t>(opcode) > static_cast<uint32_t>(effLastOpcode)) return 0;
    if (needsPointer(opcode) && !ptr) return 0;

    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        // An editor left open goes first, from this thread.
        if (editor && editorHostWindow) closeEditor();
        close();
        return 0;
    case effSetProgram:
        // A program number the plug-in does not have, negative ones included,
        // is ignored.
        if (value >= 0 && value < numPrograms) setProgram(static_cast<int32_t>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        setProgramName(text);
        return 0;
    case effGetProgramName:
        getProgramName(text);
        return 0;
    case effGetParamLabel:
        getParamLabel(index, text);
        return 0;
    case effGetParamDisplay:
        getParamDisplay(index, text);
        return 0;
    case effGetParamName:
        getParamName(index, text);
        return 0;
    case effGetVu:
        return vuToHostScale(getVu());
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<int32_t>(value));
        return 0;
    case effMainsChanged:
        if (value == 0)
            mainsOff();
        else
            mainsOn();
        return 0;
    case effEditGetRect:
        return editor ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
    case effEditOpen:
        return editor ? openEditor(ptr) : 0;
    case effEditClose:
        if (editor) closeEditor();
        return 0;
    case effEditIdle:
        if (editor) {
            if (editorOpenOnAnotherThread()) {
                void* hostWindow = editorHostWindow;
                closeEditor();
                openEditor(hostWindow);
            }
            editor->idle();
            hostWindowSystem().service();
        }
        return 0;
    case effIdentify:
        return kIdentifyAnswer;
    case effGetChunk:
        return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
        return setChunk(ptr, static_cast<int32_t>(value), index != 0);
    case effCanBeAutomated:
        return canParameterBeAutomated(index) ? 1 : 0;
    case effGetProgramNameIndexed:
        return getProgramNameIndexed(static_cast<int32_t>(value), index, text) ? 1 : 0;
    case effGetPlugCategory:
        return getPlugCategory();
    case effGetEffectName:
        return getEffectName(text) ? 1 : 0;
    case effGetVendorString:
        return getVendorString(text) ? 1 : 0;
    case effGetProductString:
        return getProductString(text) ? 1 : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effGetVstVersion:
        return getVstVersion();
    default:
        // Draw, mouse, key, top and sleep: accepted, and left to the editor's
        // own window; opcodes between the ones above are not ours to answer.
        return 0;
    }
}

#include "EditorLifecycle.h"

#include <windows.h>

#include <cstdio>

#include "HostSession.h"
#include "HostWindow.h"

namespace {

const char* const kPanelClass = "GenericWindowClass";
const char* const kAboutClass = "AboutBoxWindowClass";

intptr_t dispatch(AEffect* record, int32_t opcode, void* ptr = nullptr) {
    return record->dispatcher(record, opcode, 0, 0, ptr, 0.0f);
}

void settle() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void click(HWND window, int x, int y) {
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    settle();
}

void repaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    settle();
}

HWND childOf(const HostWindow& host) { return GetWindow(host.handle(), GW_CHILD); }

bool classRegistered(HMODULE library, const char* name) {
    WNDCLASSA description;
    return GetClassInfoA(library, name, &description) != FALSE;
}

// As hosts look for it: VSTPluginMain first, then main, the only name the
// 32-bit DLL exports.
EntryPoint entryOf(HMODULE library) {
    FARPROC entry = GetProcAddress(library, "VSTPluginMain");
    if (!entry) entry = GetProcAddress(library, "main");
    return reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(entry));
}

// Open, close, open, close into one window, then the plug-in closed and a
// click on the first editor's old window: nothing of it may be left there.
std::string checkReopenThenClick(EntryPoint entry, const HostWindow& host) {
    AEffect* record = entry(sessionHostCallback);
    if (!record) return "main returned no record";
    dispatch(record, effEditOpen, host.handle());
    const HWND first = childOf(host);
    dispatch(record, effEditClose);
    dispatch(record, effEditOpen, host.handle());
    dispatch(record, effEditClose);
    dispatch(record, effClose);
    if (!first) return "effEditOpen made no editor window";
    if (IsWindow(first) || childOf(host)) return "effEditClose left the editor's window in the host's window";
    click(first, 86, 42);
    repaint(host.handle());
    return "";
}

std::string checkTwoHundredCycles(EntryPoint entry, const HostWindow& host) {
    AEffect* record = entry(sessionHostCallback);
    if (!record) return "main returned no record";
    std::string problem;
    for (int cycle = 0; cycle < 200 && problem.empty(); ++cycle) {
        if (dispatch(record, effEditOpen, host.handle()) != 1 || !childOf(host)) problem = "an open made no window";
        dispatch(record, effEditIdle);
        dispatch(record, effEditClose);
        if (childOf(host)) problem = "cycle " + std::to_string(cycle) + " left a window behind";
    }
    dispatch(record, effClose);
    return problem;
}

// Closed with its editor and about box open, the plug-in takes both along.
std::string checkCloseWithEditorOpen(EntryPoint entry, const HostWindow& host) {
    AEffect* record = entry(sessionHostCallback);
    if (!record) return "main returned no record";
    dispatch(record, effEditOpen, host.handle());
    if (HWND child = childOf(host)) click(child, 250, 80);
    const bool popupOpened = FindWindowExA(nullptr, nullptr, kAboutClass, nullptr) != nullptr;
    dispatch(record, effClose);
    if (!popupOpened) return "the about box did not open";
    if (childOf(host)) return "effClose with the editor open left its window";
    if (FindWindowExA(nullptr, nullptr, kAboutClass, nullptr)) return "effClose left the about box open";
    return "";
}

}  // namespace

std::string checkEditorLifecycle(const char* libraryPath) {
    HostWindow host(304, 119);
    if (!host.handle()) return "no host window";
    HMODULE library = LoadLibraryA(libraryPath);
    EntryPoint entry = library ? entryOf(library) : nullptr;
    if (!entry) return "cannot load the library again";

    std::string problem = checkReopenThenClick(entry, host);
    if (problem.empty()) problem = checkTwoHundredCycles(entry, host);
    if (problem.empty()) problem = checkCloseWithEditorOpen(entry, host);
    if (problem.empty() && (classRegistered(library, kPanelClass) || classRegistered(library, kAboutClass)))
        problem = "the window classes outlived the last editor";
    if (!problem.empty()) return problem;

    // Unloaded while the host's window lives on: a repaint must meet nothing
    // of the old image, and the library loads again and opens its editor.
    AEffect* record = entry(sessionHostCallback);
    if (!record) return "main returned no record";
    dispatch(record, effEditOpen, host.handle());
    dispatch(record, effEditClose);
    dispatch(record, effClose);
    FreeLibrary(library);
    repaint(host.handle());
    if (classRegistered(library, kPanelClass)) return "\"GenericWindowClass\" outlived the library";

    library = LoadLibraryA(libraryPath);
    entry = library ? entryOf(library) : nullptr;
    record = entry ? entry(sessionHostCallback) : nullptr;
    if (!record) return "the library did not load again";
    dispatch(record, effEditOpen, host.handle());
    repaint(host.handle());
    const bool reopened = childOf(host) != nullptr;
    dispatch(record, effEditClose);
    dispatch(record, effClose);
    FreeLibrary(library);
    if (!reopened) return "the reloaded library opened no editor";
    std::printf("lifecycle:     reopened into one window, 200 open/close cycles, closed with the editor open, "
                "unloaded and loaded again: nothing left in the host's window\n");
    return "";
}

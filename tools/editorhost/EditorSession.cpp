#include "EditorSession.h"

#include "WindowCapture.h"

namespace {

intptr_t dispatch(AEffect* record, int32_t opcode, intptr_t value, void* ptr) {
    return record->dispatcher(record, opcode, 0, value, ptr, 0.0f);
}

// Signed 16-bit words, as the system packs pointer positions.
LPARAM packPoint(MousePoint point) {
    return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(point.x)), static_cast<WORD>(static_cast<int16_t>(point.y)));
}

}  // namespace

EditorSession::EditorSession(AEffect* record) : record(record) {
    if (!record) return;
    ERect* rect = nullptr;
    if (!dispatch(record, effEditGetRect, 0, &rect) || !rect) return;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    hostWindow.reset(new HostWindow(width, height));
    if (!hostWindow->handle()) return;
    editorOpen = true;
    dispatch(record, effEditOpen, 0, hostWindow->handle());
    settle();
}

EditorSession::~EditorSession() {
    if (editorOpen) dispatch(record, effEditClose, 0, nullptr);
    hostWindow.reset();
    settle();
}

bool EditorSession::isOpen() const { return getEditorWindow() != nullptr; }

HWND EditorSession::getHostWindow() const { return hostWindow ? hostWindow->handle() : nullptr; }

HWND EditorSession::getEditorWindow() const { return hostWindow ? hostWindow->editorWindow() : nullptr; }

void EditorSession::settle() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void EditorSession::repaint() {
    if (HWND editor = getEditorWindow()) {
        InvalidateRect(editor, nullptr, FALSE);
        UpdateWindow(editor);
    }
    settle();
}

void EditorSession::post(UINT message, WPARAM buttons, MousePoint point) const {
    PostMessageA(getEditorWindow(), message, buttons, packPoint(point));
}

void EditorSession::drag(const std::vector<MousePoint>& path, Button button) {
    if (path.empty() || !getEditorWindow()) return;
    const bool left = button == Button::Left;
    const WPARAM held = left ? MK_LBUTTON : MK_RBUTTON;
    post(left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, held, path.front());
    for (size_t i = 1; i < path.size(); ++i) post(WM_MOUSEMOVE, held, path[i]);
    post(left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, path.back());
    settle();
}

void EditorSession::click(int32_t x, int32_t y, Button button) { drag({{x, y}}, button); }

void EditorSession::idle() {
    dispatch(record, effEditIdle, 0, nullptr);
    settle();
}

CapturedImage EditorSession::capture() const {
    HWND editor = getEditorWindow();
    return editor ? captureWindow(editor) : CapturedImage{};
}

bool EditorSession::savePng(const std::string& path) const {
    HWND editor = getEditorWindow();
    return editor && saveWindowPng(editor, path);
}

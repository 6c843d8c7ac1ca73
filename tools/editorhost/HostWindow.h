// A host's own top-level window, of a given client size, in which a plug-in
// opens its editor. Visible and on screen, so that Windows reads its pixels
// from the screen as our headless layer reads them from the window.
#pragma once

#include <windows.h>

#include <cstdint>

class HostWindow {
public:
    HostWindow(int32_t clientWidth, int32_t clientHeight);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // Null when the window could not be created or has been destroyed.
    HWND handle() const;
    // The editor's window inside, or null.
    HWND editorWindow() const;
    // Destroys the window, and the editor's window with it.
    void destroy();

private:
    HWND window = nullptr;
};

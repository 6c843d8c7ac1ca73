// The plug-in's editor open in a host window of our own, driven as a person
// drives it: button presses, drags and releases go to the editor's window as
// window messages, and what it shows can be captured. Works the same on our
// headless window system and on Windows (or Wine).
//
// The session talks to the plug-in only through its record, as a host does.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CapturedImage.h"
#include "HostWindow.h"
#include "host/AEffect.h"

struct MousePoint {
    int32_t x;
    int32_t y;
};

class EditorSession {
public:
    enum class Button { Left, Right };

    // Creates a visible host window of the editor's size and opens the editor in it.
    explicit EditorSession(AEffect* record);
    // Closes the editor, then destroys the host window (and the editor's window with it).
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // True when the host window and the editor's window exist.
    bool isOpen() const;
    HWND getHostWindow() const;
    // The editor's window inside the host window, or null.
    HWND getEditorWindow() const;
    // The rectangle the editor reported: width and height.
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }

    // Handles every message waiting in this thread's queue, paints included.
    void settle();
    // Has the editor repaint itself completely, then settles.
    void repaint();
    // A press at the first point, moves through the others, and the release at
    // the last one: all posted before any is handled, then handled.
    void drag(const std::vector<MousePoint>& path, Button button = Button::Left);
    void click(int32_t x, int32_t y, Button button = Button::Left);
    // effEditIdle, as hosts send it regularly.
    void idle();

    CapturedImage capture() const;
    bool savePng(const std::string& path) const;

private:
    void post(UINT message, WPARAM buttons, MousePoint point) const;

    AEffect* record;
    std::unique_ptr<HostWindow> hostWindow;
    int32_t width = 0;
    int32_t height = 0;
    bool editorOpen = false;
};

// What a window of the generic class calls on the object in its user data:
// painting, key presses, button presses and the window's destruction. The
// panel is the only client.
#pragma once

#include <cstdint>

class WindowClient {
public:
    virtual void draw() = 0;
    virtual void onKey(int32_t keyCode) = 0;
    // Returns at once; a control that takes the press may begin a hold,
    // which the window's later mouse messages carry on.
    virtual void onMouseDown(int32_t x, int32_t y) = 0;
    // The window is being destroyed, by its client or with the host's window.
    virtual void windowDestroyed() {}

protected:
    ~WindowClient() = default;
};

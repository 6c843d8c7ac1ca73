// The screen and window-frame measures of the virtual display: a 1024 by
// 768 screen with the frame sizes Windows uses at 96 dots per inch in its
// classic frame metrics, as the Wine tests on the same virtual screen see
// them.
#pragma once

#include <windows.h>

namespace platform {

// Thickness of the frame on each side of the client area, caption and menu
// bar included in the top.
RECT frameThickness(DWORD style, DWORD exStyle, bool menu);

}  // namespace platform

// The colours of the system palette, as Windows 10 sets them by default.
#pragma once

#include <windows.h>

namespace platform {

constexpr int systemColourCount = 31;

// The colour of a COLOR_ index; false for an index Windows does not define.
bool systemColour(int index, COLORREF* colour);

}  // namespace platform

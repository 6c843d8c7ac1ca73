// The module of the program itself, registered on first use, without
// bitmaps.
#pragma once

#include <windows.h>

namespace platform {

HINSTANCE programModuleHandle();

}  // namespace platform

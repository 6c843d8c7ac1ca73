// The bitmaps of the resource script, compiled into the native builds, which
// register them with the window system when the module is loaded.
#pragma once

#include "PlatformModule.h"

extern const EmbeddedBitmap embeddedBitmaps[];
extern const size_t embeddedBitmapCount;

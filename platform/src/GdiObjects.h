// The drawing objects behind GDI handles. The handle's kind says which of
// these an object is, so no run-time type information is needed.
#pragma once

#include "PixelBuffer.h"
#include "Region.h"

#include <windows.h>

#include <memory>

namespace platform {

struct GdiObject {
    virtual ~GdiObject() = default;
    bool stock = false;  // owned by the system: never deleted
};

struct BitmapObject : GdiObject {
    std::unique_ptr<PixelBuffer> pixels;
    bool dibSection = false;  // the caller sees the pixels through CreateDIBSection
    int reportedBitsPerPixel = 32;
    HDC selectedInto = nullptr;
};

struct BrushObject : GdiObject {
    COLORREF colour = 0;
    bool hollow = false;
};

struct CursorObject : GdiObject {
    int id = 0;
};

enum class DcKind { window, paint, memory };

struct DeviceContext : GdiObject {
    DcKind kind = DcKind::memory;
    HWND window = nullptr;  // window and paint contexts
    Region clip;            // paint contexts draw only into the update region they validated
    HGDIOBJ bitmap = nullptr;  // memory contexts
    HGDIOBJ brush = nullptr;
};

}  // namespace platform

#include "System.h"

#include "SystemColours.h"

#include <chrono>

namespace platform {

namespace {

const COLORREF stockBrushColours[6] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                       RGB(64, 64, 64),    RGB(0, 0, 0),       RGB(0, 0, 0)};
const int nullBrushIndex = 5;

std::unique_ptr<GdiObject> stockBrush(COLORREF colour, bool hollow) {
    std::unique_ptr<BrushObject> brush(new BrushObject);
    brush->stock = true;
    brush->colour = colour;
    brush->hollow = hollow;
    return brush;
}

}  // namespace

// Not destroyed at exit: windows and contexts may still be used while other
// static objects go away. A library that carries the system releases it
// when it is unloaded.
System*& System::slot() {
    static System* system = new System;
    return system;
}

System& System::instance() { return *slot(); }

bool System::exists() { return slot() != nullptr; }

void System::release() {
    System*& system = slot();
    delete system;
    system = nullptr;
}

System::System() : headless(createHeadlessBackend()) {
    // A new memory context holds a 1 by 1 monochrome bitmap until the
    // caller selects its own.
    std::unique_ptr<BitmapObject> bitmap(new BitmapObject);
    bitmap->stock = true;
    bitmap->pixels = PixelBuffer::create(1, 1, 32, true);
    bitmap->reportedBitsPerPixel = 1;
    stockBitmap = addGdiObject(HandleKind::bitmap, std::move(bitmap));

    for (int i = 0; i < 6; ++i) {
        stockBrushes[i] =
            addGdiObject(HandleKind::brush, stockBrush(stockBrushColours[i], i == nullBrushIndex));
    }
    for (int i = 0; i < systemColourCount; ++i) {
        COLORREF colour;
        if (systemColour(i, &colour)) {
            systemColourBrushes[i] = addGdiObject(HandleKind::brush, stockBrush(colour, false));
        }
    }
    for (int i = 0; i < 14; ++i) {
        std::unique_ptr<CursorObject> cursor(new CursorObject);
        cursor->stock = true;
        cursor->id = systemCursorIds[i];
        systemCursors[i] = static_cast<HCURSOR>(addGdiObject(HandleKind::cursor, std::move(cursor)));
    }
    hostWindowClass.procedure = DefWindowProcA;
}

WindowBackend* System::hostDisplayOf(const MessageQueue& queue) const {
    for (const HostDisplay& display : hostDisplays) {
        if (display.queue == &queue) return display.backend.get();
    }
    return nullptr;
}

DWORD messageTime() {
    using namespace std::chrono;
    return DWORD(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace platform

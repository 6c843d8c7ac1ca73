// Brushes, system colours and the system cursors.
#include "System.h"
#include "SystemColours.h"

using namespace platform;

DWORD WINAPI GetSysColor(int index) {
    COLORREF colour = 0;
    systemColour(index, &colour);
    return colour;
}

HBRUSH WINAPI GetSysColorBrush(int index) {
    if (index < 0 || index >= systemColourCount) return nullptr;
    return static_cast<HBRUSH>(System::instance().systemColourBrushes[index]);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF colour) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    std::unique_ptr<BrushObject> brush(new BrushObject);
    brush->colour = colour & 0xffffff;
    HGDIOBJ handle = system.addGdiObject(HandleKind::brush, std::move(brush));
    if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return static_cast<HBRUSH>(handle);
}

HGDIOBJ WINAPI GetStockObject(int index) {
    // Only the brushes: there are no stock pens, fonts or palettes here.
    if (index < WHITE_BRUSH || index > NULL_BRUSH) return nullptr;
    return System::instance().stockBrushes[index];
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    // Modules carry no cursors: only the system's can be loaded.
    if (instance || !IS_INTRESOURCE(name)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    int id = int(reinterpret_cast<uintptr_t>(name));
    System& system = System::instance();
    for (int i = 0; i < 14; ++i) {
        if (System::systemCursorIds[i] == id) return system.systemCursors[i];
    }
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

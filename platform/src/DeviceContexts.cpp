// Window and memory device contexts and the objects selected into them.
#include "DeviceContexts.h"

using namespace platform;

namespace {

HDC addContext(System& system, std::unique_ptr<DeviceContext> context) {
    HDC handle = static_cast<HDC>(system.addGdiObject(HandleKind::deviceContext, std::move(context)));
    if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return handle;
}

HGDIOBJ selectBitmap(System& system, DeviceContext& context, HDC handle, HGDIOBJ bitmapHandle,
                     BitmapObject& bitmap) {
    // Only memory contexts hold bitmaps, and a bitmap sits in one context
    // at a time.
    if (context.kind != DcKind::memory) return nullptr;
    if (!bitmap.stock && bitmap.selectedInto && bitmap.selectedInto != handle) return nullptr;
    HGDIOBJ previous = context.bitmap;
    if (previous == bitmapHandle) return previous;
    BitmapObject* old = system.bitmap(previous);
    if (old && !old->stock) old->selectedInto = nullptr;
    if (!bitmap.stock) bitmap.selectedInto = handle;
    context.bitmap = bitmapHandle;
    return previous;
}

}  // namespace

HDC platform::createWindowContext(System& system, HWND window, DcKind kind, const Region* clip) {
    std::unique_ptr<DeviceContext> context(new DeviceContext);
    context->kind = kind;
    context->window = window;
    context->brush = system.stockBrushes[WHITE_BRUSH];
    if (clip) context->clip = *clip;
    return addContext(system, std::move(context));
}

HDC WINAPI GetDC(HWND window) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    // There is no screen to draw on: the desktop has no context.
    if (!system.window(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return createWindowContext(system, window, DcKind::window, nullptr);
}

int WINAPI ReleaseDC(HWND window, HDC handle) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    DeviceContext* context = system.deviceContext(handle);
    if (!context || context->kind != DcKind::window) return 0;
    system.gdiObjects.remove(reinterpret_cast<uintptr_t>(handle));
    return 1;
}

HDC WINAPI CreateCompatibleDC(HDC handle) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    if (handle && !system.deviceContext(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    std::unique_ptr<DeviceContext> context(new DeviceContext);
    context->kind = DcKind::memory;
    context->bitmap = system.stockBitmap;
    context->brush = system.stockBrushes[WHITE_BRUSH];
    return addContext(system, std::move(context));
}

BOOL WINAPI DeleteDC(HDC handle) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    DeviceContext* context = system.deviceContext(handle);
    // A paint context belongs to BeginPaint and goes with EndPaint.
    if (!context || context->kind == DcKind::paint) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    BitmapObject* bitmap = system.bitmap(context->bitmap);
    if (bitmap && !bitmap->stock) bitmap->selectedInto = nullptr;
    system.gdiObjects.remove(reinterpret_cast<uintptr_t>(handle));
    return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC handle, HGDIOBJ object) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    DeviceContext* context = system.deviceContext(handle);
    if (!context) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (BitmapObject* bitmap = system.bitmap(object)) {
        return selectBitmap(system, *context, handle, object, *bitmap);
    }
    if (system.brush(object)) {
        HGDIOBJ previous = context->brush;
        context->brush = object;
        return previous;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

HGDIOBJ WINAPI GetCurrentObject(HDC handle, UINT type) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    DeviceContext* context = system.deviceContext(handle);
    if (!context) return nullptr;
    if (type == OBJ_BITMAP) return context->kind == DcKind::memory ? context->bitmap : nullptr;
    if (type == OBJ_BRUSH) return context->brush;
    return nullptr;
}

BOOL WINAPI GdiFlush(void) {
    // Every drawing call completes before it returns: nothing is batched.
    return TRUE;
}

// Block copies and rectangle fills.
#include "DrawTarget.h"
#include "SystemColours.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace platform;

namespace {

// A rectangle from 64-bit edges, cut to what a surface can hold, so that no
// sum of caller coordinates overflows.
RECT boundedRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    auto bound = [](int64_t value) {
        return LONG(std::min<int64_t>(std::max<int64_t>(value, -PixelBuffer::maxSide - 1),
                                      2 * int64_t(PixelBuffer::maxSide) + 2));
    };
    return RECT{bound(left), bound(top), bound(right), bound(bottom)};
}

uint32_t pixelFromColour(COLORREF colour) {
    return uint32_t(GetRValue(colour)) << 16 | uint32_t(GetGValue(colour)) << 8 | GetBValue(colour);
}

void copyPixels(const PixelBuffer& source, int sourceX, int sourceY, PixelBuffer& target, const RECT& part) {
    int width = part.right - part.left;
    if (source.bitsPerPixel() == 32 && target.bitsPerPixel() == 32) {
        for (int y = part.top; y < part.bottom; ++y) {
            std::memmove(target.row(y) + size_t(part.left) * 4,
                         source.row(sourceY + (y - part.top)) + size_t(sourceX) * 4, size_t(width) * 4);
        }
        return;
    }
    for (int y = part.top; y < part.bottom; ++y) {
        for (int x = part.left; x < part.right; ++x) {
            target.setPixel(x, y, source.pixel(sourceX + (x - part.left), sourceY + (y - part.top)));
        }
    }
}

void fillPixels(PixelBuffer& target, const RECT& part, uint32_t rgb) {
    for (int y = part.top; y < part.bottom; ++y) {
        for (int x = part.left; x < part.right; ++x) target.setPixel(x, y, rgb);
    }
}

// A copy within one surface must read everything before it writes.
std::unique_ptr<PixelBuffer> snapshot(const PixelBuffer& source, const RECT& area) {
    std::unique_ptr<PixelBuffer> copy =
        PixelBuffer::create(area.right - area.left, area.bottom - area.top, 32, true);
    if (!copy) return nullptr;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) copy->setPixel(x - area.left, y - area.top, source.pixel(x, y));
    }
    return copy;
}

bool invalidContext() {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
}

}  // namespace

BOOL WINAPI BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                   int sourceY, DWORD rop) {
    if (rop != SRCCOPY && rop != BLACKNESS && rop != WHITENESS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    System& system = System::instance();
    SystemLock lock(system.mutex);
    DeviceContext* target = system.deviceContext(destination);
    if (!target) return invalidContext();
    DrawTarget to;
    if (!resolveTarget(system, *target, true, to)) return invalidContext();
    RECT area = boundedRect(x, y, int64_t(x) + width, int64_t(y) + height);

    if (rop != SRCCOPY) {
        if (!to.pixels) return TRUE;
        for (const RECT& part : to.writableParts(area)) {
            fillPixels(*to.pixels, part, rop == WHITENESS ? 0xffffff : 0);
            to.changed(part);
        }
        return TRUE;
    }

    DeviceContext* origin = system.deviceContext(source);
    if (!origin) return invalidContext();
    DrawTarget from;
    if (!resolveTarget(system, *origin, false, from)) return invalidContext();
    if (!to.pixels || !from.pixels) return TRUE;
    // Only pixels that exist on both sides are copied; the rest of the
    // destination keeps what it had.
    int64_t dx = int64_t(sourceX) - x;
    int64_t dy = int64_t(sourceY) - y;
    RECT sourceInTarget = boundedRect(from.bounds.left - dx, from.bounds.top - dy,
                                      from.bounds.right - dx, from.bounds.bottom - dy);
    area = intersection(area, sourceInTarget);
    std::vector<RECT> parts = to.writableParts(area);
    if (parts.empty()) return TRUE;

    const PixelBuffer* reading = from.pixels;
    std::unique_ptr<PixelBuffer> copy;
    if (from.pixels == to.pixels) {
        RECT sourceArea = offsetBy(area, int(dx), int(dy));
        copy = snapshot(*from.pixels, sourceArea);
        if (!copy) return FALSE;
        reading = copy.get();
        dx -= sourceArea.left;
        dy -= sourceArea.top;
    }
    for (const RECT& part : parts) {
        copyPixels(*reading, int(part.left + dx), int(part.top + dy), *to.pixels, part);
        to.changed(part);
    }
    return TRUE;
}

int WINAPI FillRect(HDC handle, const RECT* rect, HBRUSH brushHandle) {
    if (!rect) return 0;
    System& system = System::instance();
    SystemLock lock(system.mutex);
    DeviceContext* context = system.deviceContext(handle);
    if (!context) return invalidContext();
    COLORREF colour;
    // A system colour index plus one stands for that colour's brush.
    uintptr_t value = reinterpret_cast<uintptr_t>(brushHandle);
    if (value >= 1 && value <= uintptr_t(systemColourCount)) {
        if (!systemColour(int(value - 1), &colour)) return 0;
    } else {
        BrushObject* brush = system.brush(brushHandle);
        if (!brush) return invalidContext();
        if (brush->hollow) return 1;
        colour = brush->colour;
    }
    DrawTarget to;
    if (!resolveTarget(system, *context, true, to)) return invalidContext();
    if (!to.pixels) return 1;
    for (const RECT& part : to.writableParts(*rect)) {
        fillPixels(*to.pixels, part, pixelFromColour(colour));
        to.changed(part);
    }
    return 1;
}

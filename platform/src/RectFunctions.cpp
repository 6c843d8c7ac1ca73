// Win32's rectangle helpers.
#include "Region.h"

#include <windows.h>

using namespace platform;

namespace {

// Rectangle arithmetic wraps around as it does on Windows, without the
// undefined behaviour of signed overflow.
LONG wrappingAdd(LONG a, int b) {
    return LONG(uint32_t(a) + uint32_t(b));
}

LONG wrappingSubtract(LONG a, int b) {
    return LONG(uint32_t(a) - uint32_t(b));
}

}  // namespace

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (!rect) return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT rect) {
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL WINAPI IsRectEmpty(const RECT* rect) {
    return !rect || rectEmpty(*rect);
}

BOOL WINAPI EqualRect(const RECT* a, const RECT* b) {
    if (!a || !b) return FALSE;
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL WINAPI PtInRect(const RECT* rect, POINT point) {
    if (!rect) return FALSE;
    return point.x >= rect->left && point.x < rect->right && point.y >= rect->top &&
           point.y < rect->bottom;
}

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy) {
    if (!rect) return FALSE;
    rect->left = wrappingAdd(rect->left, dx);
    rect->right = wrappingAdd(rect->right, dx);
    rect->top = wrappingAdd(rect->top, dy);
    rect->bottom = wrappingAdd(rect->bottom, dy);
    return TRUE;
}

BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy) {
    if (!rect) return FALSE;
    rect->left = wrappingSubtract(rect->left, dx);
    rect->top = wrappingSubtract(rect->top, dy);
    rect->right = wrappingAdd(rect->right, dx);
    rect->bottom = wrappingAdd(rect->bottom, dy);
    return TRUE;
}

BOOL WINAPI IntersectRect(LPRECT result, const RECT* a, const RECT* b) {
    if (!result || !a || !b) return FALSE;
    *result = intersection(*a, *b);
    return !rectEmpty(*result);
}

BOOL WINAPI UnionRect(LPRECT result, const RECT* a, const RECT* b) {
    if (!result || !a || !b) return FALSE;
    if (rectEmpty(*a)) {
        *result = rectEmpty(*b) ? RECT{0, 0, 0, 0} : *b;
    } else if (rectEmpty(*b)) {
        *result = *a;
    } else {
        Region both;
        both.add(*a);
        both.add(*b);
        *result = both.bounds();
    }
    return !rectEmpty(*result);
}

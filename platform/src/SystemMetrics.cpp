#include "FrameMetrics.h"
#include "NativeWindows.h"
#include "System.h"

#include <windows.h>

using namespace platform;

namespace {

struct Metric {
    int index;
    int value;
};

constexpr int borderWidth = 1;
constexpr int dialogFrameWidth = 3;
constexpr int sizingFrameWidth = 4;
constexpr int edgeWidth = 2;
constexpr int captionHeight = 19;
constexpr int smallCaptionHeight = 16;
constexpr int menuHeight = 19;

const Metric metrics[] = {
    {SM_CXVSCROLL, 17},
    {SM_CYHSCROLL, 17},
    {SM_CYCAPTION, captionHeight},
    {SM_CXBORDER, borderWidth},
    {SM_CYBORDER, borderWidth},
    {SM_CXDLGFRAME, dialogFrameWidth},
    {SM_CYDLGFRAME, dialogFrameWidth},
    {SM_CXICON, 32},
    {SM_CYICON, 32},
    {SM_CXCURSOR, 32},
    {SM_CYCURSOR, 32},
    {SM_CYMENU, menuHeight},
    {SM_CXMIN, 112},
    {SM_CYMIN, 27},
    {SM_CXFRAME, sizingFrameWidth},
    {SM_CYFRAME, sizingFrameWidth},
    {SM_CXMINTRACK, 112},
    {SM_CYMINTRACK, 27},
    {SM_CXEDGE, edgeWidth},
    {SM_CYEDGE, edgeWidth},
    {SM_CYSMCAPTION, smallCaptionHeight},
    {SM_XVIRTUALSCREEN, 0},
    {SM_YVIRTUALSCREEN, 0},
    {SM_CMONITORS, 1},
    {SM_CXPADDEDBORDER, 0},
};

// The screen is the display's while the calling thread has windows on a
// host's display.
int screenMetric(int index) {
    const SIZE screen = NativeWindows::screenSize();
    const int width = screen.cx;
    const int height = screen.cy;
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
        return width;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
        return height;
    // A sizable window may grow to the screen plus its frame on each side
    // and a little more, as on Windows.
    case SM_CXMAXTRACK:
        return width + 2 * sizingFrameWidth + 4;
    case SM_CYMAXTRACK:
        return height + 2 * sizingFrameWidth + 4;
    default:
        return 0;
    }
}

}  // namespace

int WINAPI GetSystemMetrics(int index) {
    if (int metric = screenMetric(index)) return metric;
    for (const Metric& metric : metrics) {
        if (metric.index == index) return metric.value;
    }
    return 0;
}

RECT platform::frameThickness(DWORD style, DWORD exStyle, bool menu) {
    // The frame is built from the outside in: the dialog frame's outer part
    // (or a static edge), the extra width of a sizing border, the thin
    // border line, and a sunken client edge.
    int side = 0;
    if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_DLGFRAME | WS_THICKFRAME))) {
        side += dialogFrameWidth - borderWidth;
    } else if (exStyle & WS_EX_STATICEDGE) {
        side += borderWidth;
    }
    if (style & WS_THICKFRAME) side += sizingFrameWidth - dialogFrameWidth;
    if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME)) side += borderWidth;
    if (exStyle & WS_EX_CLIENTEDGE) side += edgeWidth;

    int top = side;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        top += (exStyle & WS_EX_TOOLWINDOW) ? smallCaptionHeight : captionHeight;
    }
    if (menu) top += menuHeight;
    return RECT{side, top, side, side};
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (!rect) return FALSE;
    RECT frame = frameThickness(style, exStyle, menu != FALSE);
    // Wraps around at the edges of the range, as on Windows.
    rect->left = LONG(uint32_t(rect->left) - uint32_t(frame.left));
    rect->top = LONG(uint32_t(rect->top) - uint32_t(frame.top));
    rect->right = LONG(uint32_t(rect->right) + uint32_t(frame.right));
    rect->bottom = LONG(uint32_t(rect->bottom) + uint32_t(frame.bottom));
    return TRUE;
}

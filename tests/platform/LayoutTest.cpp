// The records our header declares have Win32's sizes and field offsets on
// the build's pointer size: the same checks compile against the real
// headers in the Windows builds.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>

namespace {

constexpr bool wide = sizeof(void*) == 8;

static_assert(sizeof(BITMAP) == (wide ? 32 : 24), "BITMAP");
static_assert(offsetof(BITMAP, bmBits) == (wide ? 24 : 20), "BITMAP.bmBits");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER");
static_assert(sizeof(BITMAPFILEHEADER) == 14, "BITMAPFILEHEADER");
static_assert(offsetof(BITMAPFILEHEADER, bfOffBits) == 10, "BITMAPFILEHEADER.bfOffBits");
static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD");
static_assert(sizeof(DIBSECTION) == (wide ? 104 : 84), "DIBSECTION");
static_assert(sizeof(MSG) == (wide ? 48 : 28), "MSG");
static_assert(offsetof(MSG, pt) == (wide ? 36 : 20), "MSG.pt");
static_assert(sizeof(PAINTSTRUCT) == (wide ? 72 : 64), "PAINTSTRUCT");
static_assert(sizeof(WNDCLASSA) == (wide ? 72 : 40), "WNDCLASSA");
static_assert(sizeof(CREATESTRUCTA) == (wide ? 80 : 48), "CREATESTRUCTA");
static_assert(offsetof(CREATESTRUCTA, cy) == (wide ? 32 : 16), "CREATESTRUCTA.cy");
static_assert(sizeof(RECT) == 16 && sizeof(POINT) == 8, "RECT, POINT");
static_assert(sizeof(LONG) == 4 && sizeof(DWORD) == 4 && sizeof(WORD) == 2, "integer widths");
static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*), "message parameters");

}  // namespace

TEST(Layout, MacrosAgreeWithWin32) {
    EXPECT_EQ(reinterpret_cast<uintptr_t>(IDC_ARROW), 32512u);
    EXPECT_EQ(MAKELPARAM(-3, 7), LPARAM(0x0007fffd));
    EXPECT_EQ(short(LOWORD(MAKELPARAM(-3, 7))), -3);
    EXPECT_EQ(RGB(1, 2, 3), COLORREF(0x030201));
    EXPECT_EQ(DWORD(WS_OVERLAPPEDWINDOW), 0x00cf0000u);
    EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN), 0x56000000u);
    EXPECT_EQ(DWORD(WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_DLGFRAME), 0x96400000u);
    EXPECT_EQ(GWLP_USERDATA, -21);
    EXPECT_EQ(DWORD(SRCCOPY), 0x00cc0020u);
}

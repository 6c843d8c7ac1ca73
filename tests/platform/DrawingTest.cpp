// Drawing: block copies clipped to both surfaces, DIB sections and reading
// pixels back, paint contexts and update regions, selection rules.
#include "TestWindows.h"
#include "WindowCapture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A top-down 32-bit DIB section and its pixels.
struct Dib {
    Dib(int width, int height, int bitsPerPixel = 32, bool topDown = true) : width(width), height(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = topDown ? -height : height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = WORD(bitsPerPixel);
        info.bmiHeader.biCompression = BI_RGB;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        context = CreateCompatibleDC(nullptr);
        previous = SelectObject(context, bitmap);
    }
    ~Dib() {
        SelectObject(context, previous);
        DeleteDC(context);
        DeleteObject(bitmap);
    }
    uint32_t* pixels() const { return static_cast<uint32_t*>(bits); }
    uint32_t at(int x, int y) const {
        GdiFlush();
        return pixels()[y * width + x] & 0xffffff;
    }
    void fill(uint32_t pixel) {
        for (int i = 0; i < width * height; ++i) pixels()[i] = pixel;
    }

    int width, height;
    HBITMAP bitmap = nullptr;
    void* bits = nullptr;
    HDC context = nullptr;
    HGDIOBJ previous = nullptr;
};

uint32_t patternPixel(int x, int y) {
    return uint32_t(0x100000 * (x + 1) + 0x1000 * (y + 1) + 0x55);
}

void drawPattern(Dib& dib) {
    for (int y = 0; y < dib.height; ++y) {
        for (int x = 0; x < dib.width; ++x) dib.pixels()[y * dib.width + x] = patternPixel(x, y);
    }
}

}  // namespace

TEST(BitBlt, CopiesOnlyWhatLiesInsideBothSurfaces) {
    Dib source(4, 4);
    drawPattern(source);
    Dib target(6, 6);
    const uint32_t untouched = 0x777777;

    target.fill(untouched);
    ASSERT_TRUE(BitBlt(target.context, 4, 4, 4, 4, source.context, 0, 0, SRCCOPY));
    EXPECT_EQ(target.at(4, 4), patternPixel(0, 0));
    EXPECT_EQ(target.at(5, 5), patternPixel(1, 1));
    EXPECT_EQ(target.at(3, 3), untouched);

    target.fill(untouched);
    ASSERT_TRUE(BitBlt(target.context, 0, 0, 4, 4, source.context, 2, 2, SRCCOPY));
    EXPECT_EQ(target.at(0, 0), patternPixel(2, 2));
    EXPECT_EQ(target.at(1, 1), patternPixel(3, 3));
    EXPECT_EQ(target.at(2, 2), untouched) << "beyond the source's right and bottom edges";
    EXPECT_EQ(target.at(2, 0), untouched);

    target.fill(untouched);
    ASSERT_TRUE(BitBlt(target.context, 0, 0, 4, 4, source.context, -1, -1, SRCCOPY));
    EXPECT_EQ(target.at(0, 0), untouched) << "before the source's left and top edges";
    EXPECT_EQ(target.at(1, 1), patternPixel(0, 0));
    EXPECT_EQ(target.at(3, 3), patternPixel(2, 2));

    target.fill(untouched);
    ASSERT_TRUE(BitBlt(target.context, -2, -3, 4, 4, source.context, 0, 0, SRCCOPY));
    EXPECT_EQ(target.at(0, 0), patternPixel(2, 3));
    EXPECT_EQ(target.at(2, 0), untouched);

    target.fill(untouched);
    ASSERT_TRUE(BitBlt(target.context, 0, 0, 4, 4, source.context, 1000, 0, SRCCOPY));
    EXPECT_EQ(target.at(0, 0), untouched) << "a source entirely outside copies nothing";
}

TEST(BitBlt, OverlappingCopyWithinOneSurface) {
    Dib dib(5, 1);
    for (int x = 0; x < 5; ++x) dib.pixels()[x] = uint32_t(x + 1);
    ASSERT_TRUE(BitBlt(dib.context, 1, 0, 4, 1, dib.context, 0, 0, SRCCOPY));
    for (int x = 1; x < 5; ++x) EXPECT_EQ(dib.at(x, 0), uint32_t(x));
}

TEST(DibSections, FormatsOrientationAndReadingBack) {
    // A bottom-up 24-bit section: the first row in memory is the bottom one.
    Dib bottomUp(3, 2, 24, false);
    ASSERT_NE(bottomUp.bitmap, nullptr);
    uint8_t* bytes = static_cast<uint8_t*>(bottomUp.bits);
    const size_t stride = 12;  // 9 bytes padded to 4
    std::memset(bytes, 0, stride * 2);
    bytes[0] = 0x30, bytes[1] = 0x20, bytes[2] = 0x10;                    // bottom-left
    bytes[stride + 6] = 0x03, bytes[stride + 7] = 0x02, bytes[stride + 8] = 0x01;  // top-right

    Dib target(3, 2);
    target.fill(0);
    ASSERT_TRUE(BitBlt(target.context, 0, 0, 3, 2, bottomUp.context, 0, 0, SRCCOPY));
    EXPECT_EQ(target.at(0, 1), 0x102030u);
    EXPECT_EQ(target.at(2, 0), 0x010203u);

    BITMAP description = {};
    ASSERT_EQ(GetObjectA(bottomUp.bitmap, sizeof description, &description), int(sizeof(BITMAP)));
    EXPECT_EQ(description.bmWidth, 3);
    EXPECT_EQ(description.bmHeight, 2);
    EXPECT_EQ(description.bmBitsPixel, 24);
    EXPECT_EQ(description.bmWidthBytes, 12);
    EXPECT_EQ(description.bmBits, bottomUp.bits);
    DIBSECTION section = {};
    EXPECT_EQ(GetObjectA(bottomUp.bitmap, sizeof section, &section), int(sizeof(DIBSECTION)));
    EXPECT_EQ(section.dsBmih.biBitCount, 24);
    EXPECT_EQ(GetObjectA(bottomUp.bitmap, 0, nullptr), int(sizeof(BITMAP)));
    EXPECT_EQ(GetObjectA(bottomUp.bitmap, 4, &description), 0);

    // GetDIBits reads a compatible bitmap back in either orientation.
    HDC screenLike = target.context;
    HBITMAP compatible = CreateCompatibleBitmap(screenLike, 3, 2);
    ASSERT_NE(compatible, nullptr);
    HDC context = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(context, compatible);
    BitBlt(context, 0, 0, 3, 2, target.context, 0, 0, SRCCOPY);
    SelectObject(context, previous);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 3;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    uint32_t topDown[6] = {};
    EXPECT_EQ(GetDIBits(context, compatible, 0, 2, topDown, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(topDown[3] & 0xffffff, 0x102030u);
    EXPECT_EQ(topDown[2] & 0xffffff, 0x010203u);
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biBitCount = 24;
    uint8_t rows[2 * stride] = {};
    EXPECT_EQ(GetDIBits(context, compatible, 0, 2, rows, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(rows[0], 0x30);  // bottom-left, blue first
    EXPECT_EQ(rows[2], 0x10);
    EXPECT_EQ(rows[stride + 8], 0x01);
    DeleteDC(context);
    DeleteObject(compatible);
}

TEST(DeviceContexts, SelectionRulesAndStaleContexts) {
    Dib dib(2, 2);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, dib.bitmap), nullptr) << "already selected into another context";
    SelectObject(dib.context, dib.previous);
    HGDIOBJ stock = SelectObject(other, dib.bitmap);
    EXPECT_NE(stock, nullptr);
    EXPECT_EQ(SelectObject(dib.context, dib.bitmap), nullptr);
    EXPECT_EQ(SelectObject(other, stock), dib.bitmap);
    SelectObject(dib.context, dib.bitmap);
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_FALSE(DeleteDC(other));
    EXPECT_FALSE(BitBlt(other, 0, 0, 1, 1, dib.context, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dib.context, 0, 0, 1, 1, other, 0, 0, SRCCOPY));
    EXPECT_EQ(SelectObject(other, dib.bitmap), nullptr);
    EXPECT_EQ(ReleaseDC(nullptr, dib.context), 0) << "memory contexts are deleted, not released";
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_EQ(GetObjectA(other, sizeof(BITMAP), nullptr), 0);

    // A handle of one kind where another is expected fails like a bad one.
    EXPECT_EQ(SelectObject(dib.context, dib.context), nullptr);
    EXPECT_FALSE(BitBlt(reinterpret_cast<HDC>(dib.bitmap), 0, 0, 1, 1, dib.context, 0, 0, SRCCOPY));
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(dib.bitmap)), nullptr);
}

TEST(Painting, EraseUsesTheClassBrushAndThePaintContextDrawsOnlyWhereInvalid) {
    TestWindows windows;
    HWND top = windows.createTopLevel();
    HWND panel = windows.createChild(top, 0, 0, 40, 30);
    TestWindows::pumpAll();
    CapturedImage erased = captureWindow(panel);
    ASSERT_EQ(erased.width, 40);
    ASSERT_EQ(erased.height, 30);
    EXPECT_EQ(erased.at(0, 0), testBackgroundPixel);
    EXPECT_EQ(erased.at(39, 29), testBackgroundPixel);

    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT painted = {};
    windows.handler = [&](HWND window, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (window != panel || message != WM_PAINT) return false;
        PAINTSTRUCT paint;
        HDC context = BeginPaint(window, &paint);
        painted = paint.rcPaint;
        RECT all = {0, 0, 40, 30};
        FillRect(context, &all, red);
        EndPaint(window, &paint);
        result = 0;
        return true;
    };
    RECT part = {10, 5, 20, 15};
    InvalidateRect(panel, &part, FALSE);
    UpdateWindow(panel);
    EXPECT_TRUE(EqualRect(&painted, &part));
    CapturedImage after = captureWindow(panel);
    EXPECT_EQ(after.at(10, 5), 0xff0000u);
    EXPECT_EQ(after.at(19, 14), 0xff0000u);
    EXPECT_EQ(after.at(9, 5), testBackgroundPixel);
    EXPECT_EQ(after.at(20, 14), testBackgroundPixel);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(panel, &update, FALSE)) << "BeginPaint validated it";
    windows.handler = nullptr;
    DeleteObject(red);
}

TEST(Painting, InvalidationReachesChildrenUnlessClipped) {
    TestWindows windows;
    HWND plain = windows.createTopLevel();
    HWND plainChild = windows.createChild(plain, 0, 0, 10, 10);
    HWND clipping = windows.createTopLevel(120, 80, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    HWND clippedChild = windows.createChild(clipping, 0, 0, 10, 10);
    TestWindows::pumpAll();
    RECT update;
    InvalidateRect(plain, nullptr, TRUE);
    InvalidateRect(clipping, nullptr, TRUE);
    EXPECT_TRUE(GetUpdateRect(plainChild, &update, FALSE));
    EXPECT_FALSE(GetUpdateRect(clippedChild, &update, FALSE));
    EXPECT_TRUE(GetUpdateRect(clipping, &update, FALSE));
    TestWindows::pumpAll();
    EXPECT_FALSE(GetUpdateRect(plain, &update, FALSE));

    HWND hidden = windows.createTopLevel(50, 50, WS_POPUP);
    EXPECT_TRUE(InvalidateRect(hidden, nullptr, TRUE));
    EXPECT_FALSE(GetUpdateRect(hidden, &update, FALSE)) << "a hidden window has nothing to update";
}

TEST(Painting, WindowContextsDrawIntoTheWindow) {
    TestWindows windows;
    HWND top = windows.createTopLevel();
    HWND panel = windows.createChild(top, 10, 10, 8, 6);
    TestWindows::pumpAll();
    Dib pattern(8, 6);
    drawPattern(pattern);
    HDC context = GetDC(panel);
    ASSERT_NE(context, nullptr);
    EXPECT_TRUE(BitBlt(context, 2, 1, 8, 6, pattern.context, 0, 0, SRCCOPY));
    EXPECT_EQ(ReleaseDC(panel, context), 1);
    EXPECT_EQ(ReleaseDC(panel, context), 0);
    CapturedImage image = captureWindow(panel);
    ASSERT_EQ(image.width, 8);
    EXPECT_EQ(image.at(2, 1), patternPixel(0, 0));
    EXPECT_EQ(image.at(7, 5), patternPixel(5, 4));
    EXPECT_EQ(image.at(1, 1), testBackgroundPixel);
    EXPECT_EQ(captureWindow(reinterpret_cast<HWND>(0x1234)).width, 0);
}

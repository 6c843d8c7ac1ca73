#include "WindowCapture.h"

#include "PngFile.h"

namespace {

// Copies the window's pixels into a top-down 32-bit DIB section and reads
// them from there.
bool copyClientArea(HDC windowContext, int width, int height, CapturedImage& image) {
    HDC memoryContext = CreateCompatibleDC(windowContext);
    if (!memoryContext) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(windowContext, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (section && bits) {
        HGDIOBJ previous = SelectObject(memoryContext, section);
        if (previous && BitBlt(memoryContext, 0, 0, width, height, windowContext, 0, 0, SRCCOPY)) {
            GdiFlush();  // Windows may batch the copy until asked
            const uint32_t* pixels = static_cast<const uint32_t*>(bits);
            image.width = width;
            image.height = height;
            image.pixels.assign(pixels, pixels + size_t(width) * size_t(height));
            for (uint32_t& pixel : image.pixels) pixel &= 0xffffff;
            copied = true;
        }
        if (previous) SelectObject(memoryContext, previous);
    }
    if (section) DeleteObject(section);
    DeleteDC(memoryContext);
    return copied;
}

}  // namespace

CapturedImage captureWindow(HWND window) {
    CapturedImage image;
    RECT client;
    if (!GetClientRect(window, &client)) return image;
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return image;
    HDC windowContext = GetDC(window);
    if (!windowContext) return image;
    if (!copyClientArea(windowContext, width, height, image)) image = CapturedImage();
    ReleaseDC(window, windowContext);
    return image;
}

bool saveWindowPng(HWND window, const std::string& path) {
    CapturedImage image = captureWindow(window);
    return !image.empty() && writePng(image, path);
}

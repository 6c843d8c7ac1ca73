#include "tools/render/BitmapStrip.h"

#include <windows.h>

#include "host/ModuleInstance.h"

namespace {

// The bitmap's pixels as top-down 32-bit rows, read through GetDIBits.
CapturedImage readBitmap(HBITMAP bitmap) {
    CapturedImage image;
    BITMAP description = {};
    if (!GetObjectA(bitmap, sizeof description, &description) || description.bmWidth <= 0 ||
        description.bmHeight <= 0) {
        return image;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = description.bmWidth;
    info.bmiHeader.biHeight = -description.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> rows(size_t(description.bmWidth) * size_t(description.bmHeight));
    HDC context = CreateCompatibleDC(nullptr);
    if (!context) return image;
    const int lines = GetDIBits(context, bitmap, 0, UINT(description.bmHeight), rows.data(), &info,
                                DIB_RGB_COLORS);
    DeleteDC(context);
    if (lines != description.bmHeight) return image;
    for (uint32_t& pixel : rows) pixel &= 0xffffff;
    image.width = description.bmWidth;
    image.height = description.bmHeight;
    image.pixels = std::move(rows);
    return image;
}

}  // namespace

BitmapStrip::BitmapStrip(int32_t resourceId, int32_t width) : frameWidth(width) {
    if (!moduleInstance || frameWidth <= 0) return;
    HBITMAP bitmap = LoadBitmapA(moduleInstance, MAKEINTRESOURCEA(resourceId & 0xFFFF));
    if (!bitmap) return;
    pixels = readBitmap(bitmap);
    DeleteObject(bitmap);
}

int32_t BitmapStrip::frameCount() const { return empty() ? 0 : pixels.width / frameWidth; }

bool BitmapStrip::shows(const CapturedImage& capture, const PixelRect& where, int32_t frame) const {
    if (frame < 0 || frame >= frameCount() || where.width != frameWidth || where.height > pixels.height ||
        where.x < 0 || where.y < 0 || where.x + where.width > capture.width ||
        where.y + where.height > capture.height) {
        return false;
    }
    for (int32_t y = 0; y < where.height; ++y) {
        for (int32_t x = 0; x < where.width; ++x) {
            if (capture.at(where.x + x, where.y + y) != pixels.at(frame * frameWidth + x, y)) return false;
        }
    }
    return true;
}

int32_t BitmapStrip::frameShown(const CapturedImage& capture, const PixelRect& where) const {
    for (int32_t frame = 0; frame < frameCount(); ++frame) {
        if (shows(capture, where, frame)) return frame;
    }
    return -1;
}

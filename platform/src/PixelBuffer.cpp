#include "PixelBuffer.h"

#include <cstdlib>
#include <new>

namespace platform {

size_t PixelBuffer::strideFor(int width, int bitsPerPixel) {
    return ((size_t(width) * size_t(bitsPerPixel) + 31) / 32) * 4;
}

std::unique_ptr<PixelBuffer> PixelBuffer::create(int width, int height, int bitsPerPixel, bool topDown) {
    if (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) return nullptr;
    if (width < 0 || height < 0 || width > maxSide || height > maxSide) return nullptr;
    if (size_t(width) * size_t(height) > maxPixels) return nullptr;
    size_t stride = strideFor(width, bitsPerPixel);
    // One byte at least, so that an empty buffer still has an address.
    uint8_t* storage = static_cast<uint8_t*>(std::calloc(stride * size_t(height) + 1, 1));
    if (!storage) return nullptr;
    std::unique_ptr<PixelBuffer> buffer(
        new (std::nothrow) PixelBuffer(width, height, bitsPerPixel, topDown, stride, storage));
    if (!buffer) {
        std::free(storage);
        return nullptr;
    }
    if (bitsPerPixel == 8) buffer->palette.assign(256, 0);
    return buffer;
}

PixelBuffer::PixelBuffer(int width, int height, int bitsPerPixel, bool topDown, size_t stride,
                         uint8_t* storage)
    : columns(width), rows(height), depth(bitsPerPixel), topDown(topDown), rowBytes(stride),
      storage(storage) {}

PixelBuffer::~PixelBuffer() {
    std::free(storage);
}

uint32_t PixelBuffer::pixel(int x, int y) const {
    const uint8_t* p = row(y);
    switch (depth) {
    case 8: {
        uint8_t index = p[x];
        return index < palette.size() ? palette[index] : 0;
    }
    case 24:
        p += size_t(x) * 3;
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    default:
        p += size_t(x) * 4;
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    }
}

void PixelBuffer::setPixel(int x, int y, uint32_t rgb) {
    uint8_t* p = row(y);
    switch (depth) {
    case 8:
        p[x] = nearestPaletteIndex(rgb);
        break;
    case 24:
        p += size_t(x) * 3;
        p[0] = uint8_t(rgb);
        p[1] = uint8_t(rgb >> 8);
        p[2] = uint8_t(rgb >> 16);
        break;
    default:
        p += size_t(x) * 4;
        p[0] = uint8_t(rgb);
        p[1] = uint8_t(rgb >> 8);
        p[2] = uint8_t(rgb >> 16);
        p[3] = 0;
        break;
    }
}

uint8_t PixelBuffer::nearestPaletteIndex(uint32_t rgb) const {
    uint8_t best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        long dr = long((palette[i] >> 16) & 0xff) - long((rgb >> 16) & 0xff);
        long dg = long((palette[i] >> 8) & 0xff) - long((rgb >> 8) & 0xff);
        long db = long(palette[i] & 0xff) - long(rgb & 0xff);
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = uint8_t(i);
        }
    }
    return best;
}

}  // namespace platform

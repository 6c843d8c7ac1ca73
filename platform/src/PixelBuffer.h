// Pixels in the memory layout of a device-independent bitmap: rows padded to
// four bytes, bottom-up or top-down, 8 bits with a palette or 24 or 32 bits
// of blue, green, red. Window surfaces, loaded bitmaps and DIB sections all
// keep their pixels this way, so a block copy reads and writes every one of
// them alike. Colours pass in and out as 0x00RRGGBB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class PixelBuffer {
public:
    // Zeroed pixels, or null when the size is unsupported or too large.
    static std::unique_ptr<PixelBuffer> create(int width, int height, int bitsPerPixel, bool topDown);
    ~PixelBuffer();

    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    int width() const { return columns; }
    int height() const { return rows; }
    int bitsPerPixel() const { return depth; }
    bool isTopDown() const { return topDown; }
    size_t stride() const { return rowBytes; }
    size_t byteSize() const { return rowBytes * size_t(rows); }
    uint8_t* bits() { return storage; }

    // Row y counted from the top, whatever the order in memory.
    uint8_t* row(int y) { return storage + rowBytes * size_t(topDown ? y : rows - 1 - y); }
    const uint8_t* row(int y) const {
        return storage + rowBytes * size_t(topDown ? y : rows - 1 - y);
    }

    uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, uint32_t rgb);

    // The colour table of an 8-bit buffer, 0x00RRGGBB per entry.
    std::vector<uint32_t> palette;

    static size_t strideFor(int width, int bitsPerPixel);
    static constexpr int maxSide = 32767;
    static constexpr size_t maxPixels = size_t(1) << 26;

private:
    PixelBuffer(int width, int height, int bitsPerPixel, bool topDown, size_t stride, uint8_t* storage);
    uint8_t nearestPaletteIndex(uint32_t rgb) const;

    int columns;
    int rows;
    int depth;
    bool topDown;
    size_t rowBytes;
    uint8_t* storage;
};

}  // namespace platform

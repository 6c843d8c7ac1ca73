// Builds .bmp files in memory for the bitmap-loading tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct BmpBuilder {
    int width = 3;
    int height = 2;  // negative: top-down
    int bitsPerPixel = 8;
    int paletteEntries = 4;

    // Pixel (x, y from the top) is palette index (x + y) % paletteEntries,
    // whose colour is paletteColour(index); 24-bit files hold that colour.
    std::vector<uint8_t> build() const;
    static uint32_t paletteColour(int index) { return uint32_t(0x102030 * (index + 1)); }
};

void put16(std::vector<uint8_t>& bytes, size_t at, uint32_t value);
void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);

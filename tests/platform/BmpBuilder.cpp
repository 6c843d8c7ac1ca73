#include "BmpBuilder.h"

#include <cstdlib>

void put16(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    bytes[at] = uint8_t(value);
    bytes[at + 1] = uint8_t(value >> 8);
}

void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

std::vector<uint8_t> BmpBuilder::build() const {
    int rows = std::abs(height);
    size_t stride = ((size_t(width) * bitsPerPixel + 31) / 32) * 4;
    size_t palette = bitsPerPixel == 8 ? size_t(paletteEntries) * 4 : 0;
    size_t offset = 14 + 40 + palette;
    std::vector<uint8_t> bytes(offset + stride * rows, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, uint32_t(bytes.size()));
    put32(bytes, 10, uint32_t(offset));
    put32(bytes, 14, 40);
    put32(bytes, 18, uint32_t(width));
    put32(bytes, 22, uint32_t(height));
    put16(bytes, 26, 1);
    put16(bytes, 28, uint32_t(bitsPerPixel));
    put32(bytes, 46, bitsPerPixel == 8 ? uint32_t(paletteEntries) : 0);
    for (int i = 0; bitsPerPixel == 8 && i < paletteEntries; ++i) put32(bytes, 54 + size_t(i) * 4, paletteColour(i));
    for (int y = 0; y < rows; ++y) {
        int fileRow = height < 0 ? y : rows - 1 - y;
        uint8_t* row = bytes.data() + offset + stride * size_t(fileRow);
        for (int x = 0; x < width; ++x) {
            int index = (x + y) % paletteEntries;
            if (bitsPerPixel == 8) {
                row[x] = uint8_t(index);
            } else {
                uint32_t colour = paletteColour(index);
                row[x * 3] = uint8_t(colour);
                row[x * 3 + 1] = uint8_t(colour >> 8);
                row[x * 3 + 2] = uint8_t(colour >> 16);
            }
        }
    }
    return bytes;
}

#include "BmpDecoder.h"

namespace platform {

namespace {

constexpr size_t fileHeaderSize = 14;
constexpr size_t infoHeaderSize = 40;
constexpr uint32_t uncompressed = 0;

uint16_t read16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t read32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

struct BmpLayout {
    int64_t width = 0;
    int64_t height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    size_t paletteOffset = 0;
    size_t paletteEntries = 0;
    size_t pixelOffset = 0;
    size_t stride = 0;
};

// Reads and checks the headers; false when the file cannot be decoded.
bool readLayout(const uint8_t* data, size_t size, BmpLayout& layout) {
    if (!data || size < fileHeaderSize + infoHeaderSize) return false;
    if (data[0] != 'B' || data[1] != 'M') return false;
    uint32_t pixelOffset = read32(data + 10);
    const uint8_t* info = data + fileHeaderSize;
    uint32_t headerSize = read32(info);
    if (headerSize < infoHeaderSize || headerSize > size - fileHeaderSize) return false;

    layout.width = int32_t(read32(info + 4));
    int64_t height = int32_t(read32(info + 8));
    uint16_t planes = read16(info + 12);
    layout.bitsPerPixel = read16(info + 14);
    uint32_t compression = read32(info + 16);
    uint32_t coloursUsed = read32(info + 32);

    if (planes != 1 || compression != uncompressed) return false;
    if (layout.bitsPerPixel != 8 && layout.bitsPerPixel != 24) return false;
    if (layout.width <= 0 || height == 0) return false;
    layout.topDown = height < 0;
    layout.height = height < 0 ? -height : height;
    if (layout.width > PixelBuffer::maxSide || layout.height > PixelBuffer::maxSide) return false;
    if (uint64_t(layout.width) * uint64_t(layout.height) > PixelBuffer::maxPixels) return false;

    layout.paletteOffset = fileHeaderSize + headerSize;
    if (layout.bitsPerPixel == 8) {
        if (coloursUsed > 256) return false;
        layout.paletteEntries = coloursUsed == 0 ? 256 : coloursUsed;
    }
    size_t paletteEnd = layout.paletteOffset + layout.paletteEntries * 4;
    if (paletteEnd > size) return false;

    // The pixels may not overlap the headers or the palette and must be all
    // there; the file's own size field is not trusted.
    if (pixelOffset < paletteEnd || pixelOffset > size) return false;
    layout.pixelOffset = pixelOffset;
    layout.stride = PixelBuffer::strideFor(int(layout.width), layout.bitsPerPixel);
    uint64_t pixelBytes = uint64_t(layout.stride) * uint64_t(layout.height);
    return pixelBytes <= size - pixelOffset;
}

}  // namespace

std::unique_ptr<PixelBuffer> BmpDecoder::decode(const uint8_t* data, size_t size) {
    BmpLayout layout;
    if (!readLayout(data, size, layout)) return nullptr;
    int width = int(layout.width);
    int height = int(layout.height);
    std::unique_ptr<PixelBuffer> pixels = PixelBuffer::create(width, height, 32, true);
    if (!pixels) return nullptr;

    std::vector<uint32_t> palette(256, 0);  // indices past the table read black
    for (size_t i = 0; i < layout.paletteEntries; ++i) {
        const uint8_t* entry = data + layout.paletteOffset + i * 4;
        palette[i] = uint32_t(entry[0]) | uint32_t(entry[1]) << 8 | uint32_t(entry[2]) << 16;
    }

    for (int y = 0; y < height; ++y) {
        int fileRow = layout.topDown ? y : height - 1 - y;
        const uint8_t* source = data + layout.pixelOffset + layout.stride * size_t(fileRow);
        uint32_t* target = reinterpret_cast<uint32_t*>(pixels->row(y));
        for (int x = 0; x < width; ++x) {
            if (layout.bitsPerPixel == 8) {
                target[x] = palette[source[x]];
            } else {
                const uint8_t* p = source + size_t(x) * 3;
                target[x] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
            }
        }
    }
    return pixels;
}

}  // namespace platform

// A reader for the bitmap files of the resource script, written to check them
// rather than to display them: it keeps the raw header fields and reports what
// it finds wrong instead of guessing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    bool operator==(const Rgb& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
    int luma() const { return (299 * red + 587 * green + 114 * blue) / 1000; }
    // How strongly a light of any colour shines: a lit red LED is dark in luma.
    int strongest() const { return std::max(red, std::max(green, blue)); }
};

class BmpFile {
public:
    // Reads the whole file; error() is empty when the file could be read and
    // its headers and pixel data are consistent with each other.
    explicit BmpFile(const std::string& path);

    const std::string& error() const { return problem; }

    uint32_t fileSizeField() const { return fileSize; }
    uint32_t pixelOffset() const { return dataOffset; }
    uint32_t infoHeaderSize() const { return headerSize; }
    int32_t widthField() const { return width; }
    int32_t heightField() const { return height; }
    uint16_t planes() const { return planeCount; }
    uint16_t bitsPerPixel() const { return bitCount; }
    uint32_t compression() const { return compressionType; }
    size_t paletteSize() const { return palette.size(); }

    // Pixel colour with y counted from the top of the picture, as it is shown.
    Rgb pixel(int x, int y) const;

    // True when every palette index in the pixel data names a palette entry.
    bool indicesWithinPalette() const;

private:
    bool parse(const std::vector<uint8_t>& bytes);
    size_t rowOffset(int y) const;

    std::string problem;
    std::vector<uint8_t> data;
    std::vector<Rgb> palette;
    uint32_t fileSize = 0;
    uint32_t dataOffset = 0;
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planeCount = 0;
    uint16_t bitCount = 0;
    uint32_t compressionType = 0;
    size_t stride = 0;
};

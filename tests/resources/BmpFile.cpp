#include "BmpFile.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

constexpr size_t fileHeaderSize = 14;
constexpr size_t minimumInfoHeaderSize = 40;

uint16_t read16(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t read32(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<uint32_t>(bytes[at + 2]) << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

}  // namespace

BmpFile::BmpFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        problem = "cannot open " + path;
        return;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!parse(bytes))
        problem = path + ": " + problem;
}

bool BmpFile::parse(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < fileHeaderSize + minimumInfoHeaderSize) {
        problem = "shorter than the two headers";
        return false;
    }
    if (bytes[0] != 'B' || bytes[1] != 'M') {
        problem = "no BM signature";
        return false;
    }
    fileSize = read32(bytes, 2);
    dataOffset = read32(bytes, 10);
    headerSize = read32(bytes, 14);
    if (headerSize < minimumInfoHeaderSize || fileHeaderSize + headerSize > bytes.size()) {
        problem = "information header of unexpected size";
        return false;
    }
    width = static_cast<int32_t>(read32(bytes, 18));
    height = static_cast<int32_t>(read32(bytes, 22));
    planeCount = read16(bytes, 26);
    bitCount = read16(bytes, 28);
    compressionType = read32(bytes, 30);
    const uint32_t coloursUsed = read32(bytes, 46);

    if (width <= 0 || height == 0 || std::abs(static_cast<long>(height)) > 1 << 16 || width > 1 << 16) {
        problem = "implausible dimensions";
        return false;
    }
    if (bitCount != 8 && bitCount != 24) {
        problem = "unsupported bit depth " + std::to_string(bitCount);
        return false;
    }
    if (compressionType != 0) {
        problem = "compressed pixel data";
        return false;
    }

    const size_t paletteStart = fileHeaderSize + headerSize;
    if (bitCount == 8) {
        const size_t entries = coloursUsed == 0 ? 256 : coloursUsed;
        if (entries > 256 || paletteStart + 4 * entries > dataOffset) {
            problem = "palette does not fit before the pixel data";
            return false;
        }
        for (size_t i = 0; i < entries; ++i) {
            const size_t at = paletteStart + 4 * i;
            palette.push_back(Rgb{bytes[at + 2], bytes[at + 1], bytes[at]});
        }
    } else if (dataOffset < paletteStart) {
        problem = "pixel data overlaps the headers";
        return false;
    }

    stride = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
    const size_t rows = static_cast<size_t>(std::abs(static_cast<long>(height)));
    if (dataOffset > bytes.size() || bytes.size() - dataOffset < stride * rows) {
        problem = "pixel data shorter than the picture";
        return false;
    }
    data = bytes;
    return true;
}

size_t BmpFile::rowOffset(int y) const {
    // A positive height stores the bottom row first.
    const int rows = std::abs(height);
    const int storedRow = height > 0 ? rows - 1 - y : y;
    return dataOffset + static_cast<size_t>(storedRow) * stride;
}

Rgb BmpFile::pixel(int x, int y) const {
    if (!problem.empty() || x < 0 || y < 0 || x >= width || y >= std::abs(height))
        return Rgb{};
    const size_t row = rowOffset(y);
    if (bitCount == 8) {
        const uint8_t index = data[row + static_cast<size_t>(x)];
        return index < palette.size() ? palette[index] : Rgb{};
    }
    const size_t at = row + 3 * static_cast<size_t>(x);
    return Rgb{data[at + 2], data[at + 1], data[at]};
}

bool BmpFile::indicesWithinPalette() const {
    if (!problem.empty() || bitCount != 8)
        return false;
    for (int y = 0; y < std::abs(height); ++y) {
        const size_t row = rowOffset(y);
        for (int x = 0; x < width; ++x) {
            if (data[row + static_cast<size_t>(x)] >= palette.size())
                return false;
        }
    }
    return true;
}

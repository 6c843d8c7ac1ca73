// Pixels captured from a window or read from a PNG file: rows from the top,
// each pixel 0x00RRGGBB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct CapturedImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    bool empty() const { return pixels.empty(); }
    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

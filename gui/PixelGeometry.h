// Points and rectangles in client pixels of the window drawn into.
#pragma once

#include <cstdint>

struct PixelPoint {
    int32_t x;
    int32_t y;
};

struct PixelRect {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

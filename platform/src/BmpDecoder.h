// Turns the bytes of a .bmp file into pixels. Bitmaps come from resource
// data that we do not trust to be well formed: every size, offset and count
// is checked against the buffer before it is used, and anything malformed,
// truncated or unsupported yields no pixels rather than a read outside it.
#pragma once

#include "PixelBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

class BmpDecoder {
public:
    // 32-bit top-down pixels of an uncompressed 8-bit palettized or 24-bit
    // bitmap with a BITMAPINFOHEADER (or a later, larger header), bottom-up
    // or top-down; null for anything else.
    static std::unique_ptr<PixelBuffer> decode(const uint8_t* data, size_t size);
};

}  // namespace platform

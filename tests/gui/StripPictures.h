// The artwork the controls are cut from, read straight from the committed
// bitmap files rather than through the window system, so that what a window
// shows can be checked against an independent reading of the pictures.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "CapturedImage.h"
#include "gui/PixelGeometry.h"

class BmpFile;

// One bitmap resource cut into frames of a control's width. Strips are read
// once per program and kept.
class Filmstrip {
public:
    static const Filmstrip& of(int32_t resourceId, int32_t frameWidth);

    bool isReadable() const { return readable; }
    const std::string& problem() const { return error; }
    int32_t frameCount() const { return frames; }
    int32_t frameWidth() const { return width; }
    int32_t frameHeight() const { return height; }
    // Pixel (x, y) of a frame, counted from its top-left corner, as 0x00RRGGBB.
    uint32_t pixel(int32_t frame, int32_t x, int32_t y) const;
    CapturedImage frame(int32_t index) const;

private:
    Filmstrip(int32_t resourceId, int32_t frameWidth);

    const BmpFile* file = nullptr;
    bool readable = false;
    std::string error;
    int32_t width = 0;
    int32_t height = 0;
    int32_t frames = 0;
};

// The part of an image inside a rectangle.
CapturedImage cutOut(const CapturedImage& image, const PixelRect& rect);
// Copies a picture into an image at (x, y), as a block copy would.
void paste(CapturedImage& image, const CapturedImage& picture, int32_t x, int32_t y);

// Pixel-for-pixel equality, naming the number of differing pixels and the first.
::testing::AssertionResult samePicture(const CapturedImage& actual, const CapturedImage& expected);
// Whether the rectangle of a capture shows exactly that frame of the strip.
::testing::AssertionResult showsFrame(const CapturedImage& captured, const PixelRect& rect, int32_t resourceId,
                                      int32_t frame);

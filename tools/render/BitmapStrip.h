// The pixels of one of the plug-in's bitmap strips, loaded from its module
// as the controls load them, so that a capture of the editor can be held
// against the frame a control should show.
#pragma once

#include <cstdint>

#include "CapturedImage.h"
#include "gui/PixelGeometry.h"

class BitmapStrip {
public:
    // Frames are `frameWidth` pixels wide, side by side. Empty when the
    // bitmap cannot be loaded or read.
    BitmapStrip(int32_t resourceId, int32_t frameWidth);

    bool empty() const { return pixels.empty(); }
    int32_t frameCount() const;
    // Whether the capture shows this frame at `where` (the frame's size).
    bool shows(const CapturedImage& capture, const PixelRect& where, int32_t frame) const;
    // The frame the capture shows at `where`, or -1 for none of them.
    int32_t frameShown(const CapturedImage& capture, const PixelRect& where) const;

private:
    CapturedImage pixels;
    int32_t frameWidth;
};

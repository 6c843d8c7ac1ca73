// A passive picture whose frame follows a value that another control hands
// it: the power LED and the program-name display.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gui/PixelGeometry.h"

class FilmstripBitmap;

class FrameDisplay {
public:
    FrameDisplay(int32_t bitmapId, const PixelRect& rect);
    virtual ~FrameDisplay();
    FrameDisplay(const FrameDisplay&) = delete;
    FrameDisplay& operator=(const FrameDisplay&) = delete;

    virtual void draw(float value);
    virtual void update(float value);
    virtual void setWindow(HWND window);

    const FilmstripBitmap* getBitmap() const { return bitmap; }

private:
    FilmstripBitmap* bitmap;
};

// A rotary knob bound to one parameter. While the button is held the value
// follows the pointer's angle around the knob's centre: 270 degrees from
// lower left (0) through straight up (0.5) to lower right (1). The knob is
// absolute: the first pass, at the press, already jumps to the pointer's
// angle.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gui/HoldTarget.h"
#include "gui/PixelGeometry.h"

class CompressorEngine;
class FilmstripBitmap;
class FrameDisplay;

class ParamKnob : private HoldTarget {
public:
    ParamKnob(CompressorEngine* engine, int32_t paramIndex, int32_t bitmapId, const PixelRect& rect,
              FrameDisplay* display);
    virtual ~ParamKnob();
    ParamKnob(const ParamKnob&) = delete;
    ParamKnob& operator=(const ParamKnob&) = delete;

    virtual void draw();
    virtual void update();
    // A press inside the circle begins a hold and returns.
    virtual void onMouseDown(int32_t x, int32_t y);
    virtual void setWindow(HWND window);

    // The value for a pointer at this offset from the centre (screen
    // orientation, y down).
    static float valueForOffset(int32_t dx, int32_t dy);
    PixelPoint centre() const;
    const FilmstripBitmap* getBitmap() const { return bitmap; }

private:
    void holdPass() override;
    void holdEnded() override;

    CompressorEngine* engine;
    FilmstripBitmap* bitmap;
    FrameDisplay* display;
    PixelRect bounds;
    int32_t paramIndex;
};

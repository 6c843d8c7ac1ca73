// A clickable picture bound to one parameter or program command. A click
// steps the value through a few evenly spaced values, either at once or, with
// the pressed picture shown while the button is held, on release. The power
// switch and the six program buttons are ParamButtons.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gui/HoldTarget.h"
#include "gui/PixelGeometry.h"

class CompressorEngine;
class FilmstripBitmap;
class FrameDisplay;

class ParamButton : private HoldTarget {
public:
    enum Flags : uint32_t {
        CycleImmediate = 0x01,  // step by 1 / (steps - 1) at the press, no pressed picture
        CycleOnRelease = 0x02,  // show the pressed picture while held, step by 1 / steps on release
        OneStep = 0x04,         // ignored with CycleImmediate
        TwoSteps = 0x08,
        ThreeSteps = 0x10,
        FourSteps = 0x20,
        HitCircle = 0x40,  // the press must fall in the bitmap's circle
        HitRect = 0x80,    // the press must fall in the bitmap's rectangle
    };

    // The display is linked, not owned.
    ParamButton(CompressorEngine* engine, int32_t paramIndex, int32_t bitmapId, const PixelRect& rect, uint32_t flags,
                FrameDisplay* display);
    virtual ~ParamButton();
    ParamButton(const ParamButton&) = delete;
    ParamButton& operator=(const ParamButton&) = delete;

    // While the button is held they show the pressed picture.
    virtual void draw();
    virtual void update();
    // A press that hits steps the value at once, or begins a hold that
    // steps it when the button comes up.
    virtual void onMouseDown(int32_t x, int32_t y);
    virtual void setWindow(HWND window);

    const FilmstripBitmap* getBitmap() const { return bitmap; }

private:
    bool hits(int32_t x, int32_t y) const;
    int32_t stepCount() const;
    float steppedAtOnce(float value, int32_t steps) const;
    float steppedOnRelease(float value, int32_t steps) const;
    float shownValue() const;
    void holdPass() override;
    void holdEnded() override;
    void commit(float value);

    CompressorEngine* engine;
    FilmstripBitmap* bitmap;
    FrameDisplay* display;
    int32_t paramIndex;
    uint32_t flags;
    float valueOnRelease = 0.0f;  // fixed at the press
    bool showingPressed = false;  // a hold has drawn the pressed picture
};

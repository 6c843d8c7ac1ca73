// One bitmap resource holding a horizontal strip of equal frames, of which
// one is copied into a rectangle of a window. A value from 0 to 1 selects
// the frame, so the same class draws the background, the knobs, the buttons,
// the LEDs and the meter. It also answers whether a point hits its rectangle
// or the circle inside it.
//
// Drawing is immediate: each draw takes a device context of the window,
// copies the frame and releases the context. A draw that could not reach the
// window (no window, no context, the bitmap held by another context) does
// not count as shown, so the next setValueIfChanged draws it. The gain
// meter's strip is drawn from the audio thread as well as the user-interface
// thread (one at a time, see GainMeter), so the window and frames are atomics.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "gui/PixelGeometry.h"

class FilmstripBitmap {
public:
    // Loads the strip now; it is deleted with the object.
    FilmstripBitmap(int32_t resourceId, const PixelRect& rect);
    virtual ~FilmstripBitmap();
    FilmstripBitmap(const FilmstripBitmap&) = delete;
    FilmstripBitmap& operator=(const FilmstripBitmap&) = delete;

    // Selects the frame for the value and draws it.
    virtual void setValue(float value);
    // Selects the frame for the value and draws it unless it is already shown.
    virtual void setValueIfChanged(float value);
    // Both edges of the rectangle count as inside.
    virtual bool hitTestRect(int32_t px, int32_t py) const;
    // Inside the circle about the rectangle's centre whose radius is the
    // mean of half the width and half the height, boundary included.
    virtual bool hitTestCircle(int32_t px, int32_t py) const;
    virtual void setWindow(HWND window);
    virtual void load(int32_t resourceId);
    virtual void unload();
    // Copies the frame that starts at this strip column to the rectangle;
    // false when nothing reached the window.
    virtual bool drawFrame(int32_t sourceX);
    virtual int32_t countFrames();

    // The frame a value selects: the nearest, halves going up. Values outside
    // 0..1 (and NaN) are held to the strip's first and last frames.
    int32_t frameFor(float value) const;

    int32_t getFrameCount() const { return frameCount; }
    int32_t getCurrentFrame() const { return currentFrame.load(std::memory_order_relaxed); }
    HWND getWindow() const { return window.load(std::memory_order_relaxed); }
    bool isLoaded() const { return bitmapHandle != nullptr; }
    HBITMAP getBitmapHandle() const { return bitmapHandle; }
    const PixelRect& getRect() const { return rect; }

private:
    static constexpr int32_t kNoFrame = -1;
    void show(int32_t frame);

    std::atomic<HWND> window{nullptr};
    PixelRect rect;
    int32_t frameCount = 0;
    std::atomic<int32_t> currentFrame{0};
    // What the window is known to show; frame 0 counts as shown from the
    // start, as every strip starts on its first frame.
    std::atomic<int32_t> shownFrame{0};
    HBITMAP bitmapHandle = nullptr;
};

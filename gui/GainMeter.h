// The LED gain-reduction meter. It is redrawn when the panel paints and, from
// the audio thread, whenever the engine publishes a new value; only a change
// in the number of lit LEDs copies pixels.
//
// The two threads never draw it at once: a strip bitmap can be selected into
// one device context at a time, and the loser of such a race would draw
// nothing. A thread that finds the other drawing leaves its request to it;
// the drawing thread reads the engine's value afresh for every request it
// serves and looks again before it lets go. So the meter always ends on the
// last published value, and neither thread ever waits for the other.
//
// A click on it asks for a latency window of the class "LatencyWindowClass",
// which nothing registers, so the request yields no window.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "gui/PixelGeometry.h"

class CompressorEngine;
class FilmstripBitmap;

class GainMeter {
public:
    GainMeter(CompressorEngine* engine, int32_t channel, int32_t bitmapId, const PixelRect& rect);
    virtual ~GainMeter();
    GainMeter(const GainMeter&) = delete;
    GainMeter& operator=(const GainMeter&) = delete;

    virtual void onMouseDown(int32_t x, int32_t y);
    virtual void draw();
    // Safe on the audio thread while the user-interface thread draws.
    virtual void update();
    // A null window stops all drawing until the next window arrives.
    virtual void setWindow(HWND window);
    virtual void idle();

    const FilmstripBitmap* getBitmap() const { return bitmap; }
    HWND getLatencyWindow() const { return latencyWindow; }

private:
    enum class Redraw { Always, IfChanged };
    void showLatestValue(Redraw redraw);

    bool latencyWindowOpen = false;
    CompressorEngine* engine;
    FilmstripBitmap* bitmap;
    std::atomic<HWND> window{nullptr};
    HWND latencyWindow = nullptr;
    int32_t channel;
    std::atomic<uint32_t> drawRequests{0};
    std::atomic<bool> redrawAll{false};
    std::atomic<bool> drawing{false};
};

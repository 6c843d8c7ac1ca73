// An invisible hot zone on the panel. A press inside it opens a popup centred
// on the screen that shows the about picture; a left or right press in the
// popup closes it again. The popup has a window class of its own.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gui/PixelGeometry.h"

class FilmstripBitmap;

// Openings of about boxes in the process since the class was last
// registered; the first registers it. The last editor to close unregisters
// it and starts the count again. Guarded by windowClassLock.
extern int32_t aboutClassOpens;
extern const char* const kAboutBoxWindowClass;

class AboutBox {
public:
    AboutBox(const PixelRect& hotRect, int32_t bitmapId, const PixelRect& bitmapRect, const char* title);
    virtual ~AboutBox();
    AboutBox(const AboutBox&) = delete;
    AboutBox& operator=(const AboutBox&) = delete;

    virtual void draw();
    // Both edges of the hot zone count as inside.
    virtual void onMouseDown(int32_t x, int32_t y);
    virtual void setParentWindow(HWND window);
    virtual void open();
    virtual void close();
    virtual void registerClass();
    virtual void unregisterClass();

    bool isPopupOpen() const { return isOpen; }
    HWND getPopupWindow() const { return popupWindow; }

private:
    friend LRESULT CALLBACK aboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void forgetPopup(HWND window);

    bool isOpen = false;
    HWND popupWindow = nullptr;
    HWND parentWindow = nullptr;
    FilmstripBitmap* bitmap;
    PixelRect hotRect;
    PixelRect bitmapRect;
    char title[24];
};

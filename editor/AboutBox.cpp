#include "editor/AboutBox.h"

#include <cstring>

#include "engine/Allocation.h"
#include "gui/FilmstripBitmap.h"
#include "gui/WindowSupport.h"

int32_t aboutClassOpens = 0;
const char* const kAboutBoxWindowClass = "AboutBoxWindowClass";

namespace {

AboutBox* aboutBoxOf(HWND window) { return reinterpret_cast<AboutBox*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

}  // namespace

LRESULT CALLBACK aboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        if (AboutBox* box = aboutBoxOf(window)) box->draw();
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        AboutBox* box = aboutBoxOf(window);
        if (box && box->isOpen) box->close();
        return 0;
    }
    case WM_DESTROY:
        // The system may destroy the popup by itself, with its owner: the
        // hot zone must then open a new one.
        if (AboutBox* box = aboutBoxOf(window)) box->forgetPopup(window);
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

AboutBox::AboutBox(const PixelRect& hotRect, int32_t bitmapId, const PixelRect& bitmapRect, const char* text)
    : bitmap(allocateObject<FilmstripBitmap>(bitmapId, bitmapRect)), hotRect(hotRect), bitmapRect(bitmapRect) {
    std::strncpy(title, text ? text : "", sizeof(title) - 1);
    title[sizeof(title) - 1] = '\0';
}

// The popup forgets the box before the box goes: closed from another thread,
// it is destroyed later, by its own thread.
AboutBox::~AboutBox() {
    if (isOpen) close();
    delete bitmap;
    bitmap = nullptr;
}

void AboutBox::draw() {
    if (bitmap) bitmap->setValue(0.0f);
}

void AboutBox::onMouseDown(int32_t x, int32_t y) {
    const bool hit = x >= hotRect.x && x <= hotRect.x + hotRect.width && y >= hotRect.y &&
                     y <= hotRect.y + hotRect.height;
    if (!hit || isOpen) return;
    open();
    if (!bitmap) return;
    bitmap->setWindow(popupWindow);
    bitmap->setValue(0.0f);
}

void AboutBox::setParentWindow(HWND window) { parentWindow = window; }

// The popup's client area is the picture, centred on the screen.
void AboutBox::open() {
    const PixelPoint centre = getScreenCentre();
    const PixelRect client = {centre.x - bitmapRect.width / 2, centre.y - bitmapRect.height / 2, bitmapRect.width,
                              bitmapRect.height};
    {
        ThreadLockGuard guard(windowClassLock());
        if (++aboutClassOpens == 1) registerClass();
    }
    createPopupWindow(parentWindow, client, title, &popupWindow, kAboutBoxWindowClass);
    if (!popupWindow) return;
    SetWindowLongPtrA(popupWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    isOpen = true;
}

void AboutBox::close() {
    destroyWindow(popupWindow);
    forgetPopup(popupWindow);
}

void AboutBox::forgetPopup(HWND window) {
    if (window != popupWindow) return;
    if (window) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    isOpen = false;
    popupWindow = nullptr;
    if (bitmap) bitmap->setWindow(nullptr);
}

void AboutBox::registerClass() { registerModuleWindowClass(kAboutBoxWindowClass, aboutWindowProc); }

void AboutBox::unregisterClass() { unregisterModuleWindowClass(kAboutBoxWindowClass); }

// Modules of the headless window system. A library or program that carries
// bitmap resources registers them when it is loaded and receives its module
// handle, which it then passes to LoadBitmapA, RegisterClassA and
// CreateWindowExA as it would on Windows.
#pragma once

#include <windows.h>

#include <cstddef>

struct EmbeddedBitmap {
    int id;                      // the resource id, as MAKEINTRESOURCE would carry it
    const unsigned char* data;   // the .bmp file, file header included
    size_t size;                 // bytes in data
};

// Registers a module and its bitmaps (which must outlive the module).
HINSTANCE registerModule(const EmbeddedBitmap* bitmaps, size_t count);
// Forgets the module; its handle becomes invalid.
void unregisterModule(HINSTANCE module);
// Frees the whole window system. A library that carries its own copy of
// this layer calls it when it is unloaded, after its module is gone.
void releaseWindowSystem();
// The bitmap with this id of a registered module, or null.
const EmbeddedBitmap* findModuleBitmap(HINSTANCE module, int id);

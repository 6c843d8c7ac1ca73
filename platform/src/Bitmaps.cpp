// Bitmaps: loading from a module's resources, DIB sections, compatible
// bitmaps, reading pixels back, describing and deleting GDI objects.
#include "BmpDecoder.h"
#include "System.h"

#include <PlatformModule.h>

#include <cstdlib>
#include <cstring>

using namespace platform;

namespace {

constexpr DWORD dibPaletteColours = 1;  // DIB_PAL_COLORS, not supported

HBITMAP addBitmap(System& system, std::unique_ptr<PixelBuffer> pixels, bool dibSection, int bitsPerPixel) {
    std::unique_ptr<BitmapObject> bitmap(new BitmapObject);
    bitmap->pixels = std::move(pixels);
    bitmap->dibSection = dibSection;
    bitmap->reportedBitsPerPixel = bitsPerPixel;
    HGDIOBJ handle = system.addGdiObject(HandleKind::bitmap, std::move(bitmap));
    if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return static_cast<HBITMAP>(handle);
}

// The resource id of a name given as MAKEINTRESOURCE(id) or "#id"; 0 for
// names, which our modules do not have.
int resourceId(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return int(reinterpret_cast<uintptr_t>(name));
    if (name[0] != '#') return 0;
    char* end = nullptr;
    long id = std::strtol(name + 1, &end, 10);
    return (*end == '\0' && id > 0 && id <= 0xffff) ? int(id) : 0;
}

bool supportedDibHeader(const BITMAPINFOHEADER& header) {
    return header.biSize >= sizeof(BITMAPINFOHEADER) && header.biWidth > 0 && header.biHeight != 0 &&
           header.biPlanes == 1 && header.biCompression == BI_RGB &&
           (header.biBitCount == 8 || header.biBitCount == 24 || header.biBitCount == 32);
}

int64_t magnitude(LONG value) {
    return value < 0 ? -int64_t(value) : int64_t(value);
}

BITMAP describe(const BitmapObject& bitmap) {
    const PixelBuffer& pixels = *bitmap.pixels;
    BITMAP result = {};
    result.bmWidth = pixels.width();
    result.bmHeight = pixels.height();
    result.bmPlanes = 1;
    result.bmBitsPixel = WORD(bitmap.reportedBitsPerPixel);
    if (bitmap.dibSection) {
        result.bmWidthBytes = LONG(pixels.stride());
        result.bmBits = const_cast<PixelBuffer&>(pixels).bits();
    } else {
        // Device-dependent rows are padded to 16 bits, not 32.
        result.bmWidthBytes = LONG(((pixels.width() * bitmap.reportedBitsPerPixel + 15) / 16) * 2);
    }
    return result;
}

BITMAPINFOHEADER headerOf(const BitmapObject& bitmap) {
    const PixelBuffer& pixels = *bitmap.pixels;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = pixels.width();
    header.biHeight = pixels.isTopDown() && bitmap.dibSection ? -pixels.height() : pixels.height();
    header.biPlanes = 1;
    header.biBitCount = WORD(bitmap.reportedBitsPerPixel);
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(PixelBuffer::strideFor(pixels.width(), bitmap.reportedBitsPerPixel) *
                               size_t(pixels.height()));
    header.biClrUsed = bitmap.reportedBitsPerPixel == 8 ? 256 : 0;
    return header;
}

}  // namespace

HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR name) {
    // A null instance asks for the system's predefined bitmaps: there are none.
    int id = instance && name ? resourceId(name) : 0;
    const EmbeddedBitmap* resource = id ? findModuleBitmap(instance, id) : nullptr;
    if (!resource) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    std::unique_ptr<PixelBuffer> pixels = BmpDecoder::decode(resource->data, resource->size);
    if (!pixels) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    System& system = System::instance();
    SystemLock lock(system.mutex);
    return addBitmap(system, std::move(pixels), false, 32);
}

HBITMAP WINAPI CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                DWORD offset) {
    if (bits) *bits = nullptr;
    // Only DIBs in our own memory, with a colour table of RGB values.
    if (!info || usage == dibPaletteColours || section || !supportedDibHeader(info->bmiHeader)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (magnitude(header.biHeight) > PixelBuffer::maxSide) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::unique_ptr<PixelBuffer> pixels =
        PixelBuffer::create(header.biWidth, int(magnitude(header.biHeight)), header.biBitCount, header.biHeight < 0);
    if (!pixels) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (header.biBitCount == 8) {
        size_t colours = header.biClrUsed == 0 || header.biClrUsed > 256 ? 256 : header.biClrUsed;
        for (size_t i = 0; i < colours; ++i) {
            const RGBQUAD& entry = info->bmiColors[i];
            pixels->palette[i] = uint32_t(entry.rgbRed) << 16 | uint32_t(entry.rgbGreen) << 8 | entry.rgbBlue;
        }
    }
    void* memory = pixels->bits();
    System& system = System::instance();
    SystemLock lock(system.mutex);
    if (dc && !system.deviceContext(dc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HBITMAP handle = addBitmap(system, std::move(pixels), true, header.biBitCount);
    if (handle && bits) *bits = memory;
    return handle;
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (width <= 0 || height <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    System& system = System::instance();
    SystemLock lock(system.mutex);
    DeviceContext* context = system.deviceContext(dc);
    if (!context) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // A fresh memory context still holds the monochrome stock bitmap, and
    // Windows would make a monochrome bitmap from it: those are not
    // supported here, so the call fails rather than hand back colour.
    if (context->kind == DcKind::memory && context->bitmap == system.stockBitmap) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    std::unique_ptr<PixelBuffer> pixels = PixelBuffer::create(width, height, 32, true);
    if (!pixels) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return addBitmap(system, std::move(pixels), false, 32);
}

int WINAPI GetDIBits(HDC dc, HBITMAP handle, UINT startScan, UINT scanLines, LPVOID bits,
                     LPBITMAPINFO info, UINT usage) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    BitmapObject* bitmap = system.bitmap(handle);
    if (!system.deviceContext(dc) || !bitmap || !info || usage != DIB_RGB_COLORS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    const PixelBuffer& pixels = *bitmap->pixels;
    if (header.biBitCount == 0) {
        // A question about the bitmap's own format.
        if (bits) return 0;
        header = headerOf(*bitmap);
        return pixels.height();
    }
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biCompression != BI_RGB ||
        (header.biBitCount != 24 && header.biBitCount != 32)) {
        return 0;
    }
    size_t stride = PixelBuffer::strideFor(header.biWidth, header.biBitCount);
    header.biSizeImage = DWORD(stride * size_t(magnitude(header.biHeight)));
    if (!bits) return pixels.height();

    // Scan lines count from the bottom for a bottom-up request and from the
    // top for a top-down one; the buffer starts at startScan.
    bool topDown = header.biHeight < 0;
    int height = pixels.height();
    if (startScan >= UINT(height)) return 0;
    UINT lines = std::min(scanLines, UINT(height) - startScan);
    int columns = std::min(int(header.biWidth), pixels.width());
    int bytesPerPixel = header.biBitCount / 8;
    for (UINT line = 0; line < lines; ++line) {
        int scan = int(startScan + line);
        int sourceRow = topDown ? scan : height - 1 - scan;
        uint8_t* target = static_cast<uint8_t*>(bits) + stride * line;
        for (int x = 0; x < columns; ++x) {
            uint32_t rgb = pixels.pixel(x, sourceRow);
            uint8_t* p = target + size_t(x) * bytesPerPixel;
            p[0] = uint8_t(rgb);
            p[1] = uint8_t(rgb >> 8);
            p[2] = uint8_t(rgb >> 16);
            if (bytesPerPixel == 4) p[3] = 0;
        }
    }
    return int(lines);
}

int WINAPI GetObjectA(HGDIOBJ handle, int size, LPVOID buffer) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    if (BitmapObject* bitmap = system.bitmap(handle)) {
        if (!buffer) return sizeof(BITMAP);
        if (bitmap->dibSection && size >= int(sizeof(DIBSECTION))) {
            DIBSECTION section = {};
            section.dsBm = describe(*bitmap);
            section.dsBmih = headerOf(*bitmap);
            std::memcpy(buffer, &section, sizeof section);
            return sizeof(DIBSECTION);
        }
        if (size < int(sizeof(BITMAP))) return 0;
        BITMAP description = describe(*bitmap);
        std::memcpy(buffer, &description, sizeof description);
        return sizeof(BITMAP);
    }
    if (BrushObject* brush = system.brush(handle)) {
        if (!buffer) return sizeof(LOGBRUSH);
        if (size < int(sizeof(LOGBRUSH))) return 0;
        LOGBRUSH description = {UINT(brush->hollow ? BS_NULL : BS_SOLID), brush->colour, 0};
        std::memcpy(buffer, &description, sizeof description);
        return sizeof(LOGBRUSH);
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

BOOL WINAPI DeleteObject(HGDIOBJ handle) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    HandleKind kind;
    GdiObject* object = system.gdiObjects.findAny(reinterpret_cast<uintptr_t>(handle), &kind);
    // Contexts go with DeleteDC or ReleaseDC, cursors are not GDI objects.
    if (!object || kind == HandleKind::deviceContext || kind == HandleKind::cursor) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->stock) return TRUE;
    if (kind == HandleKind::bitmap && static_cast<BitmapObject*>(object)->selectedInto) return FALSE;
    system.gdiObjects.remove(reinterpret_cast<uintptr_t>(handle));
    return TRUE;
}

// The window's longs: user data, styles, procedure, id, instance, owner and
// the extra bytes its class asked for.
#include "WindowTree.h"

#include <cstring>

using namespace platform;

namespace {

constexpr size_t pointerSize = sizeof(LONG_PTR);

bool badIndex() {
    SetLastError(ERROR_INVALID_INDEX);
    return false;
}

// Reads, and when set is true replaces, the value at index; size is 4 for
// the LONG functions and 8 for the LONG_PTR ones. False when the handle or
// index is bad, as on 64-bit Windows, whose LONG functions refuse the
// pointer-sized slots other than the user data.
bool accessLong(HWND handle, int index, size_t size, bool set, LONG_PTR value, LONG_PTR* previous) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    Window* window = system.window(handle);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (index >= 0) {
        if (size_t(index) + size > window->extraBytes.size()) return badIndex();
        uint8_t* slot = window->extraBytes.data() + index;
        if (size == 4) {
            int32_t old;
            std::memcpy(&old, slot, 4);
            *previous = old;
            int32_t narrow = int32_t(value);
            if (set) std::memcpy(slot, &narrow, 4);
        } else {
            std::memcpy(previous, slot, pointerSize);
            if (set) std::memcpy(slot, &value, pointerSize);
        }
        return true;
    }
    switch (index) {
    case GWLP_USERDATA:
        *previous = window->userData;
        if (set) window->userData = value;
        return true;
    case GWL_STYLE:
        *previous = LONG(window->style);
        if (set) window->style = DWORD(value);
        return true;
    case GWL_EXSTYLE:
        *previous = LONG(window->exStyle);
        if (set) window->exStyle = DWORD(value);
        return true;
    case GWLP_ID:
        *previous = window->id;
        if (set) window->id = value;
        return true;
    case GWLP_WNDPROC:
        if (size < pointerSize) return badIndex();
        *previous = LONG_PTR(window->procedure);
        if (set) {
            if (!value) return badIndex();
            window->procedure = reinterpret_cast<WNDPROC>(value);
        }
        return true;
    case GWLP_HINSTANCE:
        if (size < pointerSize) return badIndex();
        *previous = LONG_PTR(window->instance);
        if (set) window->instance = reinterpret_cast<HINSTANCE>(value);
        return true;
    case GWLP_HWNDPARENT: {
        if (size < pointerSize) return badIndex();
        *previous = LONG_PTR(window->isChild() ? window->parent : window->owner);
        if (!set) return true;
        if (window->isChild()) return badIndex();  // children keep their parent
        HWND owner = value ? WindowTree::topLevelAncestor(system, reinterpret_cast<HWND>(value)) : nullptr;
        if (value && (!owner || owner == handle)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return false;
        }
        window->owner = owner;
        return true;
    }
    default:
        return badIndex();
    }
}

LONG_PTR readLong(HWND window, int index, size_t size) {
    LONG_PTR value = 0;
    return accessLong(window, index, size, false, 0, &value) ? value : 0;
}

LONG_PTR writeLong(HWND window, int index, size_t size, LONG_PTR newValue) {
    LONG_PTR previous = 0;
    return accessLong(window, index, size, true, newValue, &previous) ? previous : 0;
}

}  // namespace

LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    return writeLong(window, index, pointerSize, value);
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index) {
    return readLong(window, index, pointerSize);
}

LONG WINAPI SetWindowLongA(HWND window, int index, LONG value) {
    return LONG(writeLong(window, index, 4, value));
}

LONG WINAPI GetWindowLongA(HWND window, int index) {
    return LONG(readLong(window, index, 4));
}

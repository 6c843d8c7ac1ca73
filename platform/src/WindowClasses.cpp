// Window classes, registered per module instance.
#include "WindowClasses.h"

#include "ProgramModule.h"

#include <strings.h>

using namespace platform;

namespace {

constexpr ATOM firstAtom = 0xC000;
constexpr int maxWindowExtraBytes = 65536;

ATOM atomOf(System& system, const char* name) {
    for (size_t i = 0; i < system.atomNames.size(); ++i) {
        if (sameName(system.atomNames[i], name)) return ATOM(firstAtom + i);
    }
    if (system.atomNames.size() >= size_t(0x10000 - firstAtom)) return 0;
    system.atomNames.push_back(name);
    return ATOM(firstAtom + system.atomNames.size() - 1);
}

HINSTANCE moduleOrProgram(HINSTANCE instance) {
    return instance ? instance : programModuleHandle();
}

}  // namespace

bool platform::sameName(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

bool platform::classMatches(const System& system, const WindowClass& windowClass, LPCSTR name) {
    if (IS_INTRESOURCE(name)) return windowClass.atom == ATOM(reinterpret_cast<uintptr_t>(name));
    return sameName(windowClass.name, name);
}

WindowClass* platform::findClass(System& system, HINSTANCE instance, LPCSTR name) {
    if (!name) return nullptr;
    instance = moduleOrProgram(instance);
    for (const std::unique_ptr<WindowClass>& windowClass : system.classes) {
        if (windowClass->instance == instance && classMatches(system, *windowClass, name)) {
            return windowClass.get();
        }
    }
    return nullptr;
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* description) {
    if (!description || !description->lpszClassName || !description->lpfnWndProc ||
        description->cbClsExtra < 0 || description->cbWndExtra < 0 ||
        description->cbWndExtra > maxWindowExtraBytes || IS_INTRESOURCE(description->lpszClassName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    System& system = System::instance();
    SystemLock lock(system.mutex);
    HINSTANCE instance = moduleOrProgram(description->hInstance);
    if (findClass(system, instance, description->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    ATOM atom = atomOf(system, description->lpszClassName);
    if (!atom) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    std::unique_ptr<WindowClass> windowClass(new WindowClass);
    windowClass->name = description->lpszClassName;
    windowClass->atom = atom;
    windowClass->instance = instance;
    windowClass->style = description->style;
    windowClass->procedure = description->lpfnWndProc;
    windowClass->windowExtraBytes = description->cbWndExtra;
    windowClass->icon = description->hIcon;
    windowClass->cursor = description->hCursor;
    windowClass->background = description->hbrBackground;
    system.classes.push_back(std::move(windowClass));
    return atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    WindowClass* windowClass = findClass(system, instance, className);
    if (!windowClass) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (windowClass->windowCount > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    // The class owns its background brush, unless it is one of the
    // system's: Windows deletes it with the class.
    BrushObject* brush = system.brush(windowClass->background);
    if (brush && !brush->stock) system.gdiObjects.remove(reinterpret_cast<uintptr_t>(windowClass->background));
    for (auto it = system.classes.begin(); it != system.classes.end(); ++it) {
        if (it->get() == windowClass) {
            system.classes.erase(it);
            break;
        }
    }
    return TRUE;
}

int WINAPI GetClassNameA(HWND handle, LPSTR className, int maxCount) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    Window* window = system.window(handle);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (!className || maxCount <= 0) return 0;
    const std::string& name = window->windowClass->name;
    size_t count = std::min(name.size(), size_t(maxCount - 1));
    name.copy(className, count);
    className[count] = '\0';
    return int(count);
}

// Lookup of registered window classes, for window creation and searches.
// Expects the system lock held.
#pragma once

#include "System.h"

namespace platform {

// Class names compare without regard to case, as on Windows.
bool sameName(const std::string& a, const char* b);

// The class registered for instance under name, which is a string or an
// atom made with MAKEINTATOM; a null instance means the program's module.
WindowClass* findClass(System& system, HINSTANCE instance, LPCSTR name);

// Whether a class name or atom given to a search names this class.
bool classMatches(const System& system, const WindowClass& windowClass, LPCSTR name);

}  // namespace platform

// The editor's windows as hosts really lead them, against the DLL itself:
// reopened into one host window, closed in unusual orders, the library
// unloaded while the host's window lives on and loaded again.
#pragma once

#include <string>

// Loads the library from this path (and unloads it) itself. Returns "" or
// what went wrong; a fault that crashes or hangs the host ends the program.
std::string checkEditorLifecycle(const char* libraryPath);

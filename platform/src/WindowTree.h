// Questions and changes about the tree of windows: ancestry, z-order,
// coordinates, visibility, update regions and removal. Every function here
// expects the caller to hold the system lock and calls no window procedure.
#pragma once

#include "System.h"

#include <vector>

namespace platform {

namespace WindowTree {

// The list of windows the window sits in: its parent's children or the
// top-level windows.
std::vector<HWND>& siblings(System& system, const Window& window);
void unlink(System& system, Window& window);

bool isAncestor(const System& system, HWND ancestor, HWND window);
HWND topLevelAncestor(const System& system, HWND window);
// The window followed by all its descendants, parents before children.
void collectPreOrder(const System& system, HWND window, std::vector<HWND>& out);

// Shown, with every ancestor shown too: only such a window is drawn.
bool visibleOnScreen(const System& system, const Window& window);
POINT clientOriginOnScreen(const System& system, const Window& window);
RECT windowRectOnScreen(const System& system, const Window& window);

// Adds rect (client coordinates) to the update region of a window that is
// visible on the screen, and to its children's where they are not clipped
// away (or always, with allChildren).
void invalidate(System& system, Window& window, RECT rect, bool erase, bool allChildren);
void validate(System& system, Window& window, RECT rect);
// Invalidates the part of the parent that the child covers.
void exposeParent(System& system, const Window& child);

// Frees a window and its descendants without sending any message: for
// windows whose thread has ended, and for the last step of DestroyWindow.
void removeSilently(System& system, HWND window);

RECT wholeClient(const Window& window);

}  // namespace WindowTree

}  // namespace platform

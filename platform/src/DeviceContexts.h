// Creation of window device contexts, shared with painting. Expects the
// system lock held.
#pragma once

#include "System.h"

namespace platform {

// A context that draws into the window's surface; a paint context draws
// only into clip. Null when the handle table is full.
HDC createWindowContext(System& system, HWND window, DcKind kind, const Region* clip);

}  // namespace platform

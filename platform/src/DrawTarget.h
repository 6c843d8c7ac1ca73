// Where a device context's drawing lands: the pixels, the part of them the
// context may touch, and the clip of a paint context. Expects the system
// lock held.
#pragma once

#include "System.h"

#include <vector>

namespace platform {

struct DrawTarget {
    PixelBuffer* pixels = nullptr;  // null: the drawing succeeds and shows nothing
    RECT bounds = {0, 0, 0, 0};
    const Region* clip = nullptr;
    Window* window = nullptr;  // the window whose surface this is

    // Tells the window's twin, if it has one, what drawing changed.
    void changed(const RECT& part) const;

    // The rectangles of area (target coordinates) that drawing may change.
    std::vector<RECT> writableParts(const RECT& area) const;
};

// False for a context that no longer draws anywhere (its window is gone).
// Drawing into a window that is hidden, or whose ancestor is, shows nothing,
// as on Windows; reading from it still reads its surface.
bool resolveTarget(const System& system, const DeviceContext& context, bool forWriting,
                   DrawTarget& target);

}  // namespace platform

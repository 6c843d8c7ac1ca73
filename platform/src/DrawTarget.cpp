#include "DrawTarget.h"

#include "NativeWindows.h"
#include "WindowTree.h"

namespace platform {

std::vector<RECT> DrawTarget::writableParts(const RECT& area) const {
    std::vector<RECT> parts;
    RECT inside = intersection(area, bounds);
    if (rectEmpty(inside)) return parts;
    if (!clip) {
        parts.push_back(inside);
        return parts;
    }
    for (const RECT& piece : clip->rectangles()) {
        RECT part = intersection(piece, inside);
        if (!rectEmpty(part)) parts.push_back(part);
    }
    return parts;
}

void DrawTarget::changed(const RECT& part) const {
    if (window) NativeWindows::markChanged(*window, part);
}

bool resolveTarget(const System& system, const DeviceContext& context, bool forWriting,
                   DrawTarget& target) {
    if (context.kind == DcKind::memory) {
        BitmapObject* bitmap = system.bitmap(context.bitmap);
        if (!bitmap || !bitmap->pixels) return false;
        target.pixels = bitmap->pixels.get();
        target.bounds = RECT{0, 0, bitmap->pixels->width(), bitmap->pixels->height()};
        return true;
    }
    Window* window = system.window(context.window);
    if (!window) return false;
    if (forWriting && !WindowTree::visibleOnScreen(system, *window)) return true;
    if (!window->surface) return true;
    target.pixels = window->surface.get();
    target.window = window;
    target.bounds = RECT{0, 0, window->surface->width(), window->surface->height()};
    if (context.kind == DcKind::paint) target.clip = &context.clip;
    return true;
}

}  // namespace platform

#include "Region.h"

#include <algorithm>

namespace platform {

bool rectEmpty(const RECT& rect) {
    return rect.left >= rect.right || rect.top >= rect.bottom;
}

RECT intersection(const RECT& a, const RECT& b) {
    RECT result = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                   std::min(a.bottom, b.bottom)};
    if (rectEmpty(result)) result = RECT{0, 0, 0, 0};
    return result;
}

RECT offsetBy(RECT rect, int dx, int dy) {
    rect.left += dx;
    rect.right += dx;
    rect.top += dy;
    rect.bottom += dy;
    return rect;
}

namespace {

// Appends the parts of piece that lie outside cut: at most four rectangles.
void appendOutside(const RECT& piece, const RECT& cut, std::vector<RECT>& out) {
    RECT overlap = intersection(piece, cut);
    if (rectEmpty(overlap)) {
        out.push_back(piece);
        return;
    }
    if (piece.top < overlap.top) out.push_back(RECT{piece.left, piece.top, piece.right, overlap.top});
    if (overlap.bottom < piece.bottom)
        out.push_back(RECT{piece.left, overlap.bottom, piece.right, piece.bottom});
    if (piece.left < overlap.left)
        out.push_back(RECT{piece.left, overlap.top, overlap.left, overlap.bottom});
    if (overlap.right < piece.right)
        out.push_back(RECT{overlap.right, overlap.top, piece.right, overlap.bottom});
}

}  // namespace

RECT Region::bounds() const {
    if (rects.empty()) return RECT{0, 0, 0, 0};
    RECT result = rects.front();
    for (const RECT& rect : rects) {
        result.left = std::min(result.left, rect.left);
        result.top = std::min(result.top, rect.top);
        result.right = std::max(result.right, rect.right);
        result.bottom = std::max(result.bottom, rect.bottom);
    }
    return result;
}

void Region::add(const RECT& rect) {
    if (rectEmpty(rect)) return;
    // Only the parts not yet covered are added, so the list stays disjoint.
    std::vector<RECT> pieces{rect};
    for (const RECT& existing : rects) {
        std::vector<RECT> remaining;
        for (const RECT& piece : pieces) appendOutside(piece, existing, remaining);
        pieces.swap(remaining);
        if (pieces.empty()) return;
    }
    rects.insert(rects.end(), pieces.begin(), pieces.end());
    // Many small invalidations would fragment the list without end; their
    // bounding box repaints a little more and stays cheap.
    if (rects.size() > maxRectangles) {
        RECT all = bounds();
        rects.assign(1, all);
    }
}

void Region::subtract(const RECT& rect) {
    if (rectEmpty(rect)) return;
    std::vector<RECT> remaining;
    for (const RECT& piece : rects) appendOutside(piece, rect, remaining);
    rects.swap(remaining);
}

void Region::clipTo(const RECT& rect) {
    std::vector<RECT> inside;
    for (const RECT& piece : rects) {
        RECT overlap = intersection(piece, rect);
        if (!rectEmpty(overlap)) inside.push_back(overlap);
    }
    rects.swap(inside);
}

}  // namespace platform

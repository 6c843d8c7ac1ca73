// A set of pixels as a list of disjoint rectangles: the update region of a
// window and the clip of its paint context.
#pragma once

#include <windows.h>

#include <vector>

namespace platform {

class Region {
public:
    bool empty() const { return rects.empty(); }
    const std::vector<RECT>& rectangles() const { return rects; }
    RECT bounds() const;

    void add(const RECT& rect);
    void subtract(const RECT& rect);
    void clear() { rects.clear(); }
    // Keeps only what lies inside rect.
    void clipTo(const RECT& rect);

private:
    static constexpr size_t maxRectangles = 64;
    std::vector<RECT> rects;
};

// Rectangle arithmetic shared by the window and drawing code.
bool rectEmpty(const RECT& rect);
RECT intersection(const RECT& a, const RECT& b);
RECT offsetBy(RECT rect, int dx, int dy);

}  // namespace platform

#include "tools/render/KnobDrag.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "gui/ParamKnob.h"

namespace {

constexpr int32_t kLowestCoordinate = std::numeric_limits<int16_t>::min();
constexpr int32_t kHighestCoordinate = std::numeric_limits<int16_t>::max();
const double kPi = 4.0 * std::atan(1.0);

struct Candidate {
    int32_t dx = 0;
    int32_t dy = 0;
    float value = 0.0f;
    double miss = std::numeric_limits<double>::infinity();
};

bool inRange(int32_t coordinate) {
    return coordinate >= kLowestCoordinate && coordinate <= kHighestCoordinate;
}

// The farthest step along an axis from `from` in direction `sign` that stays in range.
int32_t reach(int32_t from, int sign) {
    return sign > 0 ? kHighestCoordinate - from : from - kLowestCoordinate;
}

void consider(PixelPoint centre, int32_t dx, int32_t dy, float wanted, Candidate& best) {
    if (!inRange(centre.x + dx) || !inRange(centre.y + dy)) return;
    const float value = ParamKnob::valueForOffset(dx, dy);
    const double miss = std::fabs(static_cast<double>(value) - wanted);
    if (miss < best.miss) best = Candidate{dx, dy, value, miss};
}

}  // namespace

// The ideal direction, measured clockwise from straight up, is
// (wanted - 0.5) x 270 degrees. Walking outward along its steeper axis, the
// lattice points next to the ray are tried; exact hits are common, since
// directions of points this far apart are denser than the floats near a
// knob position.
KnobDrag planKnobDrag(PixelPoint centre, float wanted) {
    const double angle = (static_cast<double>(wanted) - 0.5) * 1.5 * kPi;
    const double right = std::sin(angle);
    const double down = -std::cos(angle);
    const bool alongX = std::fabs(right) >= std::fabs(down);
    const double major = alongX ? right : down;
    const double minor = alongX ? down : right;
    const int sign = major >= 0.0 ? 1 : -1;
    const int32_t steps = reach(alongX ? centre.x : centre.y, sign);

    Candidate best;
    for (int32_t step = 1; step <= steps; ++step) {
        const int32_t along = sign * step;
        const int32_t across = static_cast<int32_t>(std::lround(step * minor / std::fabs(major)));
        for (int32_t nudge = -1; nudge <= 1; ++nudge) {
            if (alongX) {
                consider(centre, along, across + nudge, wanted, best);
            } else {
                consider(centre, across + nudge, along, wanted, best);
            }
        }
    }
    const MousePoint press = {centre.x, centre.y};
    const MousePoint release = {centre.x + best.dx, centre.y + best.dy};
    return KnobDrag{{press, release}, best.value};
}

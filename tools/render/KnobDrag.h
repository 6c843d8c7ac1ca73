// Where to drag a knob so that it writes a wanted position.
//
// The knob follows the pointer's angle about its centre once the press has
// landed inside its circle, wherever the pointer goes while the button is
// held. The farther the pointer, the finer the angle it can express, and a
// window position may lie anywhere in the signed 16-bit range: the drag ends
// at the point of that range whose angle gives the position nearest the
// wanted one, judged by the knob's own mapping.
#pragma once

#include <vector>

#include "EditorSession.h"
#include "gui/PixelGeometry.h"

struct KnobDrag {
    std::vector<MousePoint> path;  // the press at the centre, then the far point
    float value;                   // what the knob writes at the far point
};

KnobDrag planKnobDrag(PixelPoint centre, float wanted);

// What a control that follows a held button gives the mouse tracking. The
// control begins its hold in its onMouseDown (beginHold) and returns; from
// then on the window procedure carries it one pass further for each mouse
// message, and ends it once, however the hold ends: the release of the held
// button, the capture taken away, the window destroyed (the panel's close
// destroys it too).
#pragma once

class HoldTarget {
public:
    // One pass of the control's work while the button is held.
    virtual void holdPass() = 0;
    // The hold is over; what the control does when the button comes up.
    virtual void holdEnded() = 0;

protected:
    ~HoldTarget() = default;
};

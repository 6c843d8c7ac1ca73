// What the engine tells whoever hosts it about the changes a person makes in
// the editor: the start and the end of a gesture on one parameter (a knob
// held, the power switch pressed), every new value, and a program command
// that may have moved several values at once. A format's adapter turns them
// into its own calls (automation, touch), so that a host can record what the
// user does.
//
// Called on the user-interface thread only, never on the audio thread.
// Values that reach the engine from outside the editor (a host's own writes,
// a restored state, a program the host chose) are never reported back.
#pragma once

#include <cstdint>

class EditObserver {
public:
    virtual void editBegun(int32_t index) = 0;
    virtual void valueEdited(int32_t index, float value) = 0;
    virtual void editEnded(int32_t index) = 0;
    // After a program command has reported each value it changed.
    virtual void programChanged() = 0;

protected:
    ~EditObserver() = default;
};

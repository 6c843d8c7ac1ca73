// The engine behind the UI's editor. The plug-in's own engine does the sound
// elsewhere, often in another process; this one holds what the panel shows
// and tells the UI what the panel changed, so that the UI can pass it on.
// It never processes audio.
#pragma once

#include "engine/CompressorEngine.h"

class MirrorEngine : public CompressorEngine {
public:
    class Edits {
    public:
        // The panel set a parameter (a knob, the power switch, or a program
        // command that loads values).
        virtual void valueEdited(int32_t index, float value) = 0;
        // A program command changed the program row's state.
        virtual void rowChanged() = 0;

    protected:
        ~Edits() = default;
    };

    explicit MirrorEngine(Edits& edits);

    // From the panel's controls.
    void setParameter(int32_t index, float value) override;
    // From the host: a port the host changed, which the panel only shows.
    void takeHostValue(int32_t index, float value);

private:
    Edits& edits;
};

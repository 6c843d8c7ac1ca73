// The engine behind the UI's editor. The plug-in's own engine does the sound
// elsewhere, often in another process; this one holds what the panel shows.
// Its edit observer hears the panel's gestures and values; the program row's
// state, which the plug-in keeps, is reported here after every row command,
// the copy included (which moves no value and so tells the observer
// nothing). It never processes audio.
#pragma once

#include "engine/CompressorEngine.h"

class MirrorEngine : public CompressorEngine {
public:
    class Row {
    public:
        // A program command changed the program row's state.
        virtual void rowChanged() = 0;

    protected:
        ~Row() = default;
    };

    explicit MirrorEngine(Row& row);

    // From the panel's controls.
    void setParameter(int32_t index, float value) override;

private:
    Row& row;
};

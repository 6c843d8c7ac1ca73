// What the engine tells the editor: a program change (redraw every control)
// and a new gain-reduction value (redraw the meter, on the audio thread).
#pragma once

class CompressorListener {
public:
    virtual void updateControls() = 0;
    virtual void updateMeter() = 0;

protected:
    ~CompressorListener() = default;
};

// An effect base whose host parameter operations go by names of their own.
//
// A plug-in class that also derives from something with operations called
// setParameter and getParameter (the compressor derives from its engine,
// whose operations of those names serve the editor) cannot override the
// host's: C++ would take one override for both. Here the host's entries lead
// to setHostParameter and getHostParameter, which nothing else is called.
#pragma once

#include "host/EffectBase.h"

class HostParameterEffect : public EffectBase {
public:
    using EffectBase::EffectBase;

    // The record's setParameter entry: any thread, the audio thread included.
    virtual void setHostParameter(int32_t index, float value) = 0;
    virtual float getHostParameter(int32_t index) = 0;

    void setParameter(int32_t index, float value) final { setHostParameter(index, value); }
    float getParameter(int32_t index) final { return getHostParameter(index); }
};

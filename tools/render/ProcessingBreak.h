// Something that must run between two processing calls at chosen frames of
// the stream, such as reading what the plug-in published at that moment.
// The render ends a call at each such frame, splitting the block there.
#pragma once

#include <cstdint>
#include <string>

class ProcessingBreak {
public:
    virtual ~ProcessingBreak() = default;
    // The first frame after `position` at which a call must end.
    virtual int64_t nextBreak(int64_t position) const = 0;
    // Runs right after the call that ended at `position`; false with a message stops the render.
    virtual bool reached(int64_t position, std::string& error) = 0;
};

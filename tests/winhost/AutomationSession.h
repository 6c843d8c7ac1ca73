// What a host hears while a person uses the editor, run the same way against
// the Windows DLLs and the plug-in linked into a test program: a knob held
// and turned, the power switch pressed, the program row used. A host records
// automation from these calls, so each gesture must arrive as begin edit,
// the new values, end edit; a program command as every value it moved and
// then a display update; all of it on the thread that runs the editor.
#pragma once

#include <string>

#include "HostSession.h"

// Returns "" or every problem found, each ending in "; ".
std::string runAutomationSession(EntryPoint entry);

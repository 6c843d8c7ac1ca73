// What a host lists and controls of the plug-in through its record alone,
// run the same way against the Windows DLLs and the native library: the
// names it is listed by, its six parameters with their names, units and
// values as text at two sample rates, how it takes a host's values, and its
// four programs.
//
// Every text is asked for into a buffer of exactly the room the interface
// documents, followed by guard bytes: a plug-in that writes one byte more
// corrupts the memory of hosts that allocate exactly that much.
#pragma once

#include <string>

#include "HostSession.h"

// Returns "" or every problem found, each ending in "; ".
std::string runParameterSession(EntryPoint entry);

// The DLL on a processor without SSE2, as far as a test on one with it can
// go: the system's answer to the DLL's question is changed to "no".
#pragma once

#include <windows.h>

#include <string>

#include "HostSession.h"

// Calls each entry point of the loaded library once while the library is
// told that the processor lacks SSE2 (each must return null and never call
// the host), and once more with the true answer (each must give a record).
// Returns "" or what went wrong.
std::string checkProcessorRefusal(HMODULE library, EntryPoint entries[], int entryCount);

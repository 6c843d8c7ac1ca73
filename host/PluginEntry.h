// The entry point a host calls once for every instance it wants. The
// libraries export it as `main` (and `VSTPluginMain`); programs that drive
// the plug-in in-process call it by this name.
#pragma once

#include "host/AEffect.h"

// The record of a new plug-in instance, or null: for a host that gives no
// callback or does not answer the version query, when memory runs out, and
// in a process where an instance once could not be built completely.
AEffect* pluginMain(audioMasterCallback audioMaster);

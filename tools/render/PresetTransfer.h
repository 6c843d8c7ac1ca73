// Preset files in and out of the plug-in the way hosts move them: the file's
// chunk goes in through effSetChunk, and effGetChunk gives the chunk a new
// file holds. A program file (.fxp) carries the plug-in's preset chunk, a
// bank file (.fxb) its whole state.
#pragma once

#include <string>

#include "tools/render/HostedPlugin.h"
#include "tools/render/PresetFile.h"

// Loads `preset`, read from `path`, into the plug-in named `pluginName`.
// False with a message when the preset is not for this plug-in or the
// plug-in refuses its chunk.
bool loadPreset(HostedPlugin& plugin, const std::string& pluginName, const PresetFile& preset,
                const std::string& path, std::string& error);

// The plug-in's settings now, as a preset file of `kind`; a program file
// carries `programName`. False with a message when the plug-in gives no chunk.
bool takePreset(HostedPlugin& plugin, const std::string& pluginName, PresetFile::Kind kind,
                const std::string& programName, PresetFile& preset, std::string& error);

// "program 'soft', 36-byte chunk" or "bank, 164-byte chunk", for the summary.
std::string presetText(const PresetFile& preset);

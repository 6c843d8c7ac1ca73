#include "tools/render/PresetTransfer.h"

#include "tools/render/FourCharacterText.h"

namespace {

const char* kindText(PresetFile::Kind kind) { return kind == PresetFile::Kind::Program ? "program" : "bank"; }

bool checkKeepsChunks(const HostedPlugin& plugin, const std::string& pluginName, const std::string& purpose,
                      std::string& error) {
    if (plugin.keepsChunks()) return true;
    error = "plug-in '" + pluginName + "' keeps no settings in a chunk, so " + purpose;
    return false;
}

}  // namespace

bool loadPreset(HostedPlugin& plugin, const std::string& pluginName, const PresetFile& preset,
                const std::string& path, std::string& error) {
    const int32_t pluginId = plugin.record()->uniqueID;
    if (preset.pluginId != pluginId) {
        error = "preset '" + path + "' belongs to another plug-in (id '" + fourCharacterText(preset.pluginId) +
                "'), not to '" + pluginName + "' (id '" + fourCharacterText(pluginId) + "')";
        return false;
    }
    if (!checkKeepsChunks(plugin, pluginName, "preset '" + path + "' cannot be loaded into it", error)) return false;
    if (!plugin.setChunk(preset.chunk, preset.kind == PresetFile::Kind::Program)) {
        error = "plug-in '" + pluginName + "' refused the settings of preset '" + path + "' (a " +
                kindText(preset.kind) + " chunk of " + std::to_string(preset.chunk.size()) +
                " bytes): they are damaged or from a newer version of the plug-in";
        return false;
    }
    return true;
}

bool takePreset(HostedPlugin& plugin, const std::string& pluginName, PresetFile::Kind kind,
                const std::string& programName, PresetFile& preset, std::string& error) {
    if (!checkKeepsChunks(plugin, pluginName, "there is no preset to save", error)) return false;
    const bool program = kind == PresetFile::Kind::Program;
    preset = PresetFile();
    preset.kind = kind;
    preset.chunk = plugin.getChunk(program);
    if (preset.chunk.empty()) {
        error = "plug-in '" + pluginName + "' gave no settings to save";
        return false;
    }
    const AEffect* record = plugin.record();
    preset.pluginId = record->uniqueID;
    preset.pluginVersion = record->version;
    preset.count = program ? record->numParams : record->numPrograms;
    if (program) preset.programName = programName;
    return true;
}

std::string presetText(const PresetFile& preset) {
    std::string text = kindText(preset.kind);
    if (!preset.programName.empty()) {
        text += " '";
        for (char c : preset.programName) text += (c >= 32 && c < 127) ? c : '?';
        text += "'";
    }
    return text + ", " + std::to_string(preset.chunk.size()) + "-byte chunk";
}

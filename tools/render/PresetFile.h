// The preset files hosts exchange: a 'CcnK' container that names the plug-in
// by its unique id and holds one program (.fxp) or a whole bank (.fxb). A
// plug-in that keeps its settings in a chunk is saved as 'FPCh' (program) or
// 'FBCh' (bank) with the chunk inside; 'FxCk' and 'FxBk' files list
// parameter values instead, which the renderer does not load.
//
// The header's numbers are big-endian 32-bit fields:
//
//   offset  field
//        0  'CcnK'
//        4  byte count of the rest of the file, from offset 8 on
//        8  kind: 'FPCh' or 'FBCh' ('FxCk', 'FxBk')
//       12  format version, 1 (a bank of version 2 also names its current
//           program at 28)
//       16  the plug-in's unique id
//       20  the plug-in's version
//       24  the plug-in's parameter count (program) or program count (bank)
//       28  program: its name, 28 bytes, zero-terminated; bank: 128 bytes
//           reserved, zero
//  56 / 156 the chunk's size in bytes
//  60 / 160 the chunk
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PresetFile {
    enum class Kind { Program, Bank };

    Kind kind = Kind::Program;
    int32_t pluginId = 0;
    int32_t pluginVersion = 0;
    int32_t count = 0;        // parameters of a program, programs of a bank
    std::string programName;  // a program's; up to 27 characters
    std::vector<uint8_t> chunk;
};

// Reads and checks a preset file; false with a message naming the problem.
bool readPresetFile(const std::string& path, PresetFile& preset, std::string& error);
bool decodePresetFile(const std::vector<uint8_t>& bytes, const std::string& path, PresetFile& preset,
                      std::string& error);
std::vector<uint8_t> encodePresetFile(const PresetFile& preset);

// The kind a file name asks for: .fxp a program, .fxb a bank (any case).
bool presetKindOfName(const std::string& path, PresetFile::Kind& kind);

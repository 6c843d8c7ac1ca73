#include "tools/render/PresetFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <utility>

#include "host/AEffect.h"
#include "tools/render/FourCharacterText.h"

namespace {

constexpr int32_t kContainerMagic = fourCharCode("CcnK");
constexpr int32_t kProgramChunkKind = fourCharCode("FPCh");
constexpr int32_t kBankChunkKind = fourCharCode("FBCh");
constexpr int32_t kProgramValuesKind = fourCharCode("FxCk");
constexpr int32_t kBankValuesKind = fourCharCode("FxBk");
constexpr int32_t kWrittenVersion = 1;
constexpr int32_t kNewestKnownVersion = 2;

// Offsets of the header's fields; the program name or the bank's reserved
// bytes end where the chunk's size begins.
constexpr uint32_t kSizeOffset = 4;
constexpr uint32_t kKindOffset = 8;
constexpr uint32_t kVersionOffset = 12;
constexpr uint32_t kIdOffset = 16;
constexpr uint32_t kPluginVersionOffset = 20;
constexpr uint32_t kCountOffset = 24;
constexpr uint32_t kNameOffset = 28;
constexpr uint32_t kNameSize = 28;
constexpr uint32_t kBankReservedSize = 128;
constexpr uint32_t kNumberSize = 4;
constexpr uint32_t kCountedFrom = 8;  // the byte count leaves out the magic and itself

// Far beyond any plug-in's settings; spares memory when pointed at a disk image.
constexpr long long kLargestPresetFile = 256LL << 20;

uint32_t chunkSizeOffset(PresetFile::Kind kind) {
    return kNameOffset + (kind == PresetFile::Kind::Program ? kNameSize : kBankReservedSize);
}

int32_t getNumber(const std::vector<uint8_t>& bytes, uint32_t offset) {
    uint32_t value = 0;
    for (uint32_t i = 0; i < kNumberSize; ++i) value = (value << 8) | bytes[offset + i];
    return static_cast<int32_t>(value);
}

void putNumber(std::vector<uint8_t>& bytes, uint32_t offset, int32_t number) {
    const uint32_t value = static_cast<uint32_t>(number);
    for (uint32_t i = 0; i < kNumberSize; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * (3 - i)));
}

bool kindOfCode(int32_t code, const std::string& path, PresetFile::Kind& kind, std::string& error) {
    if (code == kProgramChunkKind || code == kBankChunkKind) {
        kind = code == kProgramChunkKind ? PresetFile::Kind::Program : PresetFile::Kind::Bank;
        return true;
    }
    if (code == kProgramValuesKind || code == kBankValuesKind) {
        error = "preset '" + path + "' lists parameter values ('" + fourCharacterText(code) +
                "'); only presets that hold the plug-in's chunk ('FPCh', 'FBCh') can be loaded";
    } else {
        error = "preset '" + path + "' is of a kind the renderer does not know ('" + fourCharacterText(code) + "')";
    }
    return false;
}

// The name stops at its first zero byte; a name that fills all 28 bytes has none.
std::string nameAt(const std::vector<uint8_t>& bytes, uint32_t offset) {
    std::string name;
    for (uint32_t i = 0; i < kNameSize && bytes[offset + i] != 0; ++i) name += static_cast<char>(bytes[offset + i]);
    return name;
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        error = errno == ENOENT ? "preset '" + path + "' does not exist"
                                : "cannot read preset '" + path + "': " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = "preset '" + path + "' is not a file";
        return false;
    }
    if (status.st_size > kLargestPresetFile) {
        error = "'" + path + "' is far too large to be a preset file";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot read preset '" + path + "': " + std::strerror(errno);
        return false;
    }
    bytes.resize(static_cast<size_t>(status.st_size));
    const size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read preset '" + path + "'";
        return false;
    }
    bytes.resize(read);
    return true;
}

}  // namespace

bool decodePresetFile(const std::vector<uint8_t>& bytes, const std::string& path, PresetFile& preset,
                      std::string& error) {
    if (bytes.size() < kNumberSize || getNumber(bytes, 0) != kContainerMagic) {
        error = "'" + path + "' is not a preset file (it does not begin with 'CcnK')";
        return false;
    }
    if (bytes.size() < kCountedFrom) {
        error = "preset '" + path + "' is truncated: it ends inside its header";
        return false;
    }
    const int64_t announced = static_cast<uint32_t>(getNumber(bytes, kSizeOffset));
    const int64_t present = static_cast<int64_t>(bytes.size()) - kCountedFrom;
    if (announced != present) {
        error = "preset '" + path + "' is " + (announced > present ? "truncated" : "damaged") + ": its header gives " +
                std::to_string(announced) + " bytes after the first 8, the file has " + std::to_string(present);
        return false;
    }
    if (bytes.size() < kKindOffset + kNumberSize) {
        error = "preset '" + path + "' is truncated: it ends inside its header";
        return false;
    }
    PresetFile result;
    if (!kindOfCode(getNumber(bytes, kKindOffset), path, result.kind, error)) return false;
    const uint32_t chunkOffset = chunkSizeOffset(result.kind) + kNumberSize;
    if (bytes.size() < chunkOffset) {
        error = "preset '" + path + "' is truncated: it ends inside its header";
        return false;
    }
    const int32_t version = getNumber(bytes, kVersionOffset);
    if (version < 1 || version > kNewestKnownVersion) {
        error = "preset '" + path + "' has format version " + std::to_string(version) +
                ", which the renderer does not know";
        return false;
    }
    const int64_t chunkSize = getNumber(bytes, chunkSizeOffset(result.kind));
    if (chunkSize != static_cast<int64_t>(bytes.size()) - chunkOffset) {
        error = "preset '" + path + "' is damaged: its chunk should be " + std::to_string(chunkSize) + " bytes, " +
                std::to_string(bytes.size() - chunkOffset) + " follow";
        return false;
    }
    if (chunkSize == 0) {
        error = "preset '" + path + "' holds no settings (its chunk is empty)";
        return false;
    }
    result.pluginId = getNumber(bytes, kIdOffset);
    result.pluginVersion = getNumber(bytes, kPluginVersionOffset);
    result.count = getNumber(bytes, kCountOffset);
    if (result.kind == PresetFile::Kind::Program) result.programName = nameAt(bytes, kNameOffset);
    result.chunk.assign(bytes.begin() + chunkOffset, bytes.end());
    preset = std::move(result);
    return true;
}

bool readPresetFile(const std::string& path, PresetFile& preset, std::string& error) {
    std::vector<uint8_t> bytes;
    return readWholeFile(path, bytes, error) && decodePresetFile(bytes, path, preset, error);
}

std::vector<uint8_t> encodePresetFile(const PresetFile& preset) {
    const bool program = preset.kind == PresetFile::Kind::Program;
    const uint32_t chunkOffset = chunkSizeOffset(preset.kind) + kNumberSize;
    std::vector<uint8_t> bytes(chunkOffset, 0);
    putNumber(bytes, 0, kContainerMagic);
    putNumber(bytes, kSizeOffset, static_cast<int32_t>(chunkOffset + preset.chunk.size() - kCountedFrom));
    putNumber(bytes, kKindOffset, program ? kProgramChunkKind : kBankChunkKind);
    putNumber(bytes, kVersionOffset, kWrittenVersion);
    putNumber(bytes, kIdOffset, preset.pluginId);
    putNumber(bytes, kPluginVersionOffset, preset.pluginVersion);
    putNumber(bytes, kCountOffset, preset.count);
    if (program) {
        // Always zero-terminated, as hosts that read it as a C string expect.
        const size_t length = preset.programName.size() < kNameSize ? preset.programName.size() : kNameSize - 1;
        std::memcpy(bytes.data() + kNameOffset, preset.programName.data(), length);
    }
    putNumber(bytes, chunkSizeOffset(preset.kind), static_cast<int32_t>(preset.chunk.size()));
    bytes.insert(bytes.end(), preset.chunk.begin(), preset.chunk.end());
    return bytes;
}

bool presetKindOfName(const std::string& path, PresetFile::Kind& kind) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    const std::string extension = path.substr(dot);
    if (strcasecmp(extension.c_str(), ".fxp") == 0) {
        kind = PresetFile::Kind::Program;
        return true;
    }
    if (strcasecmp(extension.c_str(), ".fxb") == 0) {
        kind = PresetFile::Kind::Bank;
        return true;
    }
    return false;
}

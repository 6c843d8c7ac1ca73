#include "RecordLayout.h"

#include <cstdint>
#include <cstring>

namespace {

enum class FieldKind { value, entry, zero };

struct HostField {
    const char* name;
    size_t offset32;
    size_t offset64;
    size_t ourOffset;  // where our definition keeps the field
    size_t ourSize;
    FieldKind kind;
};

#define FIELD(name, offset32, offset64, kind) \
    {#name, offset32, offset64, offsetof(AEffect, name), sizeof(AEffect::name), FieldKind::kind}

// The record as hosts lay it out, field by field.
const HostField kHostRecord[] = {
    FIELD(magic, 0, 0, value),
    FIELD(dispatcher, 4, 8, entry),
    FIELD(process, 8, 16, entry),
    FIELD(setParameter, 12, 24, entry),
    FIELD(getParameter, 16, 32, entry),
    FIELD(numPrograms, 20, 40, value),
    FIELD(numParams, 24, 44, value),
    FIELD(numInputs, 28, 48, value),
    FIELD(numOutputs, 32, 52, value),
    FIELD(flags, 36, 56, value),
    FIELD(resvd1, 40, 64, zero),
    FIELD(resvd2, 44, 72, zero),
    FIELD(initialDelay, 48, 80, value),
    FIELD(realQualities, 52, 84, value),
    FIELD(offQualities, 56, 88, value),
    FIELD(ioRatio, 60, 92, value),
    FIELD(object, 64, 96, value),
    FIELD(user, 68, 104, value),
    FIELD(uniqueID, 72, 112, value),
    FIELD(version, 76, 116, value),
    FIELD(processReplacing, 80, 120, entry),
    FIELD(future, 84, 128, zero),
};

#undef FIELD

constexpr bool kWide = sizeof(void*) == 8;

size_t hostOffset(const HostField& field) { return kWide ? field.offset64 : field.offset32; }

bool insideLibrary(const void* address, HMODULE library) {
    MEMORY_BASIC_INFORMATION region;
    return address && VirtualQuery(address, &region, sizeof(region)) == sizeof(region) &&
           region.AllocationBase == library;
}

}  // namespace

size_t hostRecordSize() {
    const HostField& last = kHostRecord[sizeof(kHostRecord) / sizeof(kHostRecord[0]) - 1];
    return hostOffset(last) + last.ourSize;
}

std::string recordBytesProblems(const AEffect* record, HMODULE library) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(record);
    std::string problems;
    for (const HostField& field : kHostRecord) {
        const unsigned char* hostBytes = bytes + hostOffset(field);
        if (std::memcmp(hostBytes, bytes + field.ourOffset, field.ourSize) != 0) {
            problems += std::string(field.name) + " is not where hosts read it; ";
            continue;
        }
        if (field.kind == FieldKind::entry) {
            void* entry = nullptr;
            std::memcpy(&entry, hostBytes, sizeof(entry));
            if (!insideLibrary(entry, library)) problems += std::string(field.name) + " is not the library's code; ";
        } else if (field.kind == FieldKind::zero) {
            for (size_t i = 0; i < field.ourSize; ++i) {
                if (hostBytes[i] != 0) {
                    problems += std::string(field.name) + " is not zero; ";
                    break;
                }
            }
        }
    }
    return problems;
}

#include "ProcessorRefusal.h"

#include <cstring>

namespace {

// The slot of the module's import address table through which it calls
// dll!function, or null. Every call of an imported function goes through
// its slot, so what the slot holds is what the module reaches.
void** importSlot(HMODULE module, const char* dll, const char* function) {
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return nullptr;
    for (const auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name; ++descriptor) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0) continue;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(const_cast<BYTE*>(base) + descriptor->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void writeSlot(void** slot, void* value) {
    DWORD previous = 0;
    VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &previous);
    *slot = value;
    VirtualProtect(slot, sizeof(void*), previous, &previous);
}

BOOL WINAPI processorWithoutSse2(DWORD feature) {
    return feature == PF_XMMI64_INSTRUCTIONS_AVAILABLE ? FALSE : IsProcessorFeaturePresent(feature);
}

int hostCalls = 0;

intptr_t countingHostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    ++hostCalls;
    return sessionHostCallback(effect, opcode, index, value, ptr, opt);
}

// Null, and no call of the host, from every entry point; "" or the problem.
std::string refusedEverywhere(EntryPoint entries[], int entryCount) {
    for (int i = 0; i < entryCount; ++i) {
        hostCalls = 0;
        AEffect* record = entries[i](countingHostCallback);
        if (record) {
            record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
            return "an entry point gave a record on a processor without SSE2";
        }
        if (hostCalls != 0) return "an entry point called the host on a processor without SSE2";
    }
    return "";
}

}  // namespace

std::string checkProcessorRefusal(HMODULE library, EntryPoint entries[], int entryCount) {
    void** slot = importSlot(library, "kernel32.dll", "IsProcessorFeaturePresent");
    if (!slot) return "the DLL does not ask the system whether the processor has SSE2";
    void* const systemAnswer = *slot;
    writeSlot(slot, reinterpret_cast<void*>(&processorWithoutSse2));
    const std::string problem = refusedEverywhere(entries, entryCount);
    writeSlot(slot, systemAnswer);
    if (!problem.empty()) return problem;

    for (int i = 0; i < entryCount; ++i) {
        AEffect* record = entries[i](sessionHostCallback);
        if (!record) return "an entry point refused once the processor had SSE2 again";
        record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    }
    return "";
}

// The record as a host reads it: not through our definition of the record but
// at the byte offsets that hosts of the DLL's word size use, every field four
// bytes wide on 32-bit Windows (144 bytes in all) and the pointer-sized ones
// eight bytes wide on 64-bit Windows.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "host/AEffect.h"

// The bytes that a host reads for the whole record.
size_t hostRecordSize();

// What a host reading the record's bytes would find wrong: a field whose
// bytes differ from what the plug-in stored in it, an entry that is not the
// library's own code, reserved bytes that are not zero. "" when none.
std::string recordBytesProblems(const AEffect* record, HMODULE library);

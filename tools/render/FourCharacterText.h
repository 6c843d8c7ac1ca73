// A four-character code (a plug-in's unique id, a file's kind) as its
// characters, first character from the most significant byte: "ZQ3R".
#pragma once

#include <cstdint>
#include <string>

inline std::string fourCharacterText(int32_t code) {
    const uint32_t bits = static_cast<uint32_t>(code);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((bits >> shift) & 0xFF);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

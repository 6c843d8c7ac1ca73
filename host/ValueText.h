// The short texts a host shows in a parameter display: never more than eight
// characters, written with their terminating zero into a buffer of at least
// valueTextSize bytes. Digits are truncated, never rounded.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t valueTextSize = 9;

// The fixed texts, each exactly eight characters.
struct ValueTexts {
    static constexpr char minusInfinity[valueTextSize] = "  -oo   ";
    static constexpr char huge[valueTextSize] = " Huge!  ";
    static constexpr char notANumber[valueTextSize] = "  NaN   ";
};

// Writes one of the fixed texts.
void writeFixedText(const char (&fixed)[valueTextSize], char* text);

// A decimal number in exactly eight characters: an optional minus, the
// integer digits, the point and as many fraction digits as fit. An integer
// part too long for the point (eight digits, seven when negative) stands
// alone; values beyond that, and infinities, give the huge text.
void writeFloatText(float value, char* text);

// A right-aligned integer in at least seven characters, or the huge text for
// values that need more than eight.
void writeIntegerText(int32_t value, char* text);

// Copies `source` into a host's buffer of `size` bytes: as much of it as
// fits with the terminating zero, never more than `size` bytes.
void copyHostText(const char* source, char* text, size_t size);

// Whether the first `shown` characters of writeFloatText's text of `value`
// hold its whole integer part (and sign).
bool integerPartFits(double value, int shown);

// writeFloatText truncates; cut to `shown` characters its text of the value
// returned here shows `value` rounded at the last digit that remains.
double roundedAtLastShownDigit(double value, int shown);

#include "host/ValueText.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int textBudget = static_cast<int>(valueTextSize) - 1;

// The largest magnitudes that still fit: eight digits, or a minus and seven.
struct FloatLimits {
    static constexpr double positive = 99999999.0;
    static constexpr double negative = 9999999.0;
};

struct IntegerLimits {
    static constexpr int32_t positive = 99999999;
    static constexpr int32_t negative = -9999999;
};

// The lowest decimal digit of a non-negative value; the fraction is dropped.
char lowestDigit(double value) { return static_cast<char>('0' + static_cast<int>(std::fmod(value, 10.0))); }

// Integer digits of v, lowest first; returns how many.
int integerDigits(double v, char* digits, int room) {
    double integ = std::floor(v);
    int count = 0;
    do {
        digits[count++] = lowestDigit(integ);
        integ *= 0.1;
    } while (integ >= 1.0 && count < room);
    return count;
}

// The first `count` fraction digits of v, truncated.
void fractionDigits(double v, char* digits, int count) {
    double mantissa = std::fmod(v, 1.0) * std::pow(10.0, count);
    for (int i = count - 1; i >= 0; --i) {
        if (mantissa <= 0.0) {
            digits[i] = '0';
        } else {
            digits[i] = lowestDigit(mantissa);
            mantissa *= 0.1;
        }
    }
}

}  // namespace

void writeFixedText(const char (&fixed)[valueTextSize], char* text) {
    if (text) std::memcpy(text, fixed, valueTextSize);
}

void writeFloatText(float value, char* text) {
    if (!text) return;
    if (std::isnan(value)) {
        writeFixedText(ValueTexts::notANumber, text);
        return;
    }
    const bool negative = value < 0.0f;
    const double v = negative ? -static_cast<double>(value) : static_cast<double>(value);
    if (v > (negative ? FloatLimits::negative : FloatLimits::positive)) {
        writeFixedText(ValueTexts::huge, text);
        return;
    }

    int used = 0;
    if (negative) text[used++] = '-';

    char digits[textBudget];
    const int digitCount = integerDigits(v, digits, textBudget - used);
    for (int i = digitCount - 1; i >= 0; --i) text[used++] = digits[i];

    // An integer part that leaves no room for the point is shown whole,
    // without point or fraction, rather than losing its leading digits.
    if (used < textBudget) {
        text[used++] = '.';
        const int fractionCount = textBudget - used;
        fractionDigits(v, text + used, fractionCount);
        used += fractionCount;
    }
    text[used] = '\0';
}

void writeIntegerText(int32_t value, char* text) {
    if (!text) return;
    if (value > IntegerLimits::positive || value < IntegerLimits::negative) {
        writeFixedText(ValueTexts::huge, text);
        return;
    }
    std::snprintf(text, valueTextSize, "%7d", static_cast<int>(value));
}

void copyHostText(const char* source, char* text, size_t size) {
    if (!text || size == 0) return;
    size_t length = 0;
    if (source) {
        while (length + 1 < size && source[length] != '\0') ++length;
        std::memcpy(text, source, length);
    }
    text[length] = '\0';
}

namespace {

int integerDigitCount(double magnitude) {
    int count = 1;
    for (double rest = magnitude; rest >= 10.0 && count < 400; rest /= 10.0) ++count;
    return count;
}

}  // namespace

bool integerPartFits(double value, int shown) {
    if (!std::isfinite(value)) return false;
    const int sign = value < 0.0 ? 1 : 0;
    return sign + integerDigitCount(std::fabs(value)) <= shown;
}

double roundedAtLastShownDigit(double value, int shown) {
    if (!integerPartFits(value, shown)) return value;
    const int sign = value < 0.0 ? 1 : 0;
    const int fractionDigits = shown - sign - integerDigitCount(std::fabs(value)) - 1;
    const double halfDigit = 0.5 * std::pow(10.0, -(fractionDigits > 0 ? fractionDigits : 0));
    return sign ? value - halfDigit : value + halfDigit;
}

// Values as the short texts a host shows: the digits, the limits, and the
// guarantee that no text is longer than eight characters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "HostTestSupport.h"

namespace {

constexpr float infinity = std::numeric_limits<float>::infinity();

class TextEffect : public EffectBase {
public:
    TextEffect() : EffectBase(nullptr, 0, 0) {}
    void process(float**, float**, int32_t) override {}
};

// Runs one operation on a buffer that is larger than the text may be, and
// fails when anything is written past its ninth byte.
template <class Operation>
std::string textOf(Operation operation) {
    char buffer[32];
    std::memset(buffer, '#', sizeof(buffer));
    operation(buffer);
    for (size_t i = 9; i < sizeof(buffer); ++i) EXPECT_EQ(buffer[i], '#') << "written past the text at " << i;
    const void* end = std::memchr(buffer, '\0', 9);
    EXPECT_NE(end, nullptr) << "no terminating zero within nine bytes";
    return end ? std::string(buffer) : std::string();
}

std::string floatText(float value) {
    TextEffect effect;
    return textOf([&](char* text) { effect.formatFloat(value, text); });
}

std::string integerText(int32_t value) {
    TextEffect effect;
    return textOf([&](char* text) { effect.formatInteger(value, text); });
}

struct FloatCase {
    float value;
    const char* text;
};

TEST(FormatFloat, FillsEightCharactersWithTruncatedDigits) {
    const FloatCase cases[] = {
        {0.0f, "0.000000"},      {-0.0f, "0.000000"},     {0.5f, "0.500000"},      {-0.5f, "-0.50000"},
        {0.7f, "0.699999"},      {12.5f, "12.50000"},     {-12.5f, "-12.5000"},    {12345.67f, "12345.66"},
        {1234567.0f, "1234567."}, {-123456.0f, "-123456."}, {9.999999f, "9.999999"}, {-9999999.0f, "-9999999"},
    };
    for (const FloatCase& c : cases) EXPECT_EQ(floatText(c.value), c.text) << "value " << c.value;
}

// An integer part too long for the point keeps all its digits.
TEST(FormatFloat, LongIntegerPartsKeepTheirLeadingDigits) {
    EXPECT_EQ(floatText(12345678.0f), "12345678");
    EXPECT_EQ(floatText(99999992.0f), "99999992");
    EXPECT_EQ(floatText(10000000.0f), "10000000");
    EXPECT_EQ(floatText(-1234567.0f), "-1234567");
    EXPECT_EQ(floatText(-1000000.0f), "-1000000");
}

TEST(FormatFloat, ValuesBeyondTheFieldAreHuge) {
    EXPECT_EQ(floatText(-10000000.0f), " Huge!  ");
    EXPECT_EQ(floatText(100000000.0f), " Huge!  ");
    EXPECT_EQ(floatText(3.0e38f), " Huge!  ");
    EXPECT_EQ(floatText(infinity), " Huge!  ");
    EXPECT_EQ(floatText(-infinity), " Huge!  ");
}

TEST(FormatFloat, NotANumberHasATextOfItsOwn) {
    EXPECT_EQ(floatText(std::nanf("")), "  NaN   ");
    EXPECT_EQ(floatText(-std::nanf("")), "  NaN   ");
}

TEST(FormatFloat, EveryTextHasExactlyEightCharacters) {
    // Powers of ten and their neighbours across the whole field, both signs.
    for (double magnitude = 1.0e-9; magnitude < 1.0e9; magnitude *= 10.0) {
        for (double factor : {0.999999, 1.0, 1.000001, 3.3333}) {
            for (double sign : {1.0, -1.0}) {
                const float value = static_cast<float>(sign * magnitude * factor);
                EXPECT_EQ(floatText(value).size(), 8u) << "value " << value;
            }
        }
    }
}

TEST(FormatInteger, RightAlignsInSevenCharactersAndFitsEight) {
    EXPECT_EQ(integerText(5), "      5");
    EXPECT_EQ(integerText(-5), "     -5");
    EXPECT_EQ(integerText(0), "      0");
    EXPECT_EQ(integerText(1234567), "1234567");
    EXPECT_EQ(integerText(99999999), "99999999");
    EXPECT_EQ(integerText(-9999999), "-9999999");
}

// A negative value too long for the field is not cut into another number.
TEST(FormatInteger, ValuesBeyondTheFieldAreHuge) {
    EXPECT_EQ(integerText(100000000), " Huge!  ");
    EXPECT_EQ(integerText(INT32_MAX), " Huge!  ");
    EXPECT_EQ(integerText(-10000000), " Huge!  ");
    EXPECT_EQ(integerText(-12345678), " Huge!  ");
    EXPECT_EQ(integerText(INT32_MIN), " Huge!  ");
}

TEST(FormatDecibels, ShowsGainInDecibelsAndSilenceAsMinusInfinity) {
    TextEffect effect;
    auto decibels = [&](float gain) { return textOf([&](char* text) { effect.formatDecibels(gain, text); }); };
    EXPECT_EQ(decibels(1.0f), "0.000000");
    EXPECT_EQ(decibels(0.5f), "-6.02059");
    EXPECT_EQ(decibels(10.0f), "20.00000");
    EXPECT_EQ(decibels(0.0f), "  -oo   ");
    EXPECT_EQ(decibels(-1.0f), "  -oo   ");
    EXPECT_EQ(decibels(infinity), " Huge!  ");
}

TEST(FormatTime, HertzAndMillisecondsFollowTheSampleRate) {
    TextEffect effect;
    auto hertz = [&](float samples) { return textOf([&](char* text) { effect.formatHertz(samples, text); }); };
    auto milliseconds = [&](float samples) {
        return textOf([&](char* text) { effect.formatMilliseconds(samples, text); });
    };
    EXPECT_EQ(hertz(100.0f), "441.0000");
    EXPECT_EQ(hertz(0.0f), "0.000000");
    EXPECT_EQ(milliseconds(44100.0f), "1000.000");
    EXPECT_EQ(milliseconds(100.0f), "2.267573");

    effect.setSampleRate(48000.0f);
    EXPECT_EQ(hertz(100.0f), "480.0000");
    EXPECT_EQ(milliseconds(48.0f), "1.000000");

    // No rate at all gives no number, and no undefined conversion.
    effect.setSampleRate(0.0f);
    EXPECT_EQ(milliseconds(100.0f), " Huge!  ");
    EXPECT_EQ(milliseconds(0.0f), "  NaN   ");
}

// Derived classes may change how numbers look or where the rate comes from.
TEST(FormatTime, TheConversionsGoThroughTheVirtualOperations) {
    class Replaced : public TextEffect {
    public:
        float getSampleRate() override { return 1000.0f; }
        void formatFloat(float value, char* text) override {
            std::snprintf(text, 9, "<%d>", static_cast<int>(value) % 1000);
        }
    } effect;
    EXPECT_EQ(textOf([&](char* text) { effect.formatHertz(4.0f, text); }), "<250>");
    EXPECT_EQ(textOf([&](char* text) { effect.formatMilliseconds(500.0f, text); }), "<500>");
    EXPECT_EQ(textOf([&](char* text) { effect.formatDecibels(10.0f, text); }), "<20>");
}

}  // namespace

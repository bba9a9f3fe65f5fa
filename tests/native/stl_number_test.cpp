// ASCII STL numbers: every notation, the refusals and correct rounding.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "tlmio/stl_number.h"

namespace {

bool Parse(const std::string& text, float& value)
{
    return tlmio::ParseStlFloat(text.data(), text.data() + text.size(), value);
}

std::uint32_t Bits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

TEST(StlNumber, ReadsEveryNotation)
{
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* text;
        float value;
    };
    const Case cases[] = {
        {"1", 1},         {"-1", -1},          {"+2.", 2},          {".5", 0.5f},      {"-.25", -0.25f},
        {"1.5", 1.5f},    {"-1e-3", -1e-3f},   {"1E+02", 100},      {"1e2", 100},      {"0001.5e0", 1.5f},
        {"0.000123", 1.23e-4f},                {"-0", -0.0f},       {"0e5", 0},        {"1e-50", 0},
        {"-1e-50", -0.0f},                     {"1e39", inf},       {"-1e39", -inf},   {"1e-45", 1e-45f},
        {"3.4028235e38", FLT_MAX},             {"1e-400", 0},       {"1e400", inf},    {"inf", inf},
        {"-Infinity", -inf},                   {"123456789012345678901234567890", 1.2345679e29f},
    };
    for (const Case& c : cases) {
        float value = 7;
        EXPECT_TRUE(Parse(c.text, value)) << c.text;
        EXPECT_EQ(Bits(value), Bits(c.value)) << c.text << " read as " << value;
    }
    float value = 0;
    EXPECT_TRUE(Parse("nan", value));
    EXPECT_TRUE(std::isnan(value));
}

TEST(StlNumber, RefusesWhatIsNoNumber)
{
    for (const char* text : {"", "+", "-", ".", "1.2.3", "+-1", "-+1", "--1", "++1", "1e", "1e+", "e5", "0x1p3",
                             "1,5", "1f", "1 2", "one", "\x01"}) {
        float value = 7;
        EXPECT_FALSE(Parse(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 7) << text;
    }
}

TEST(StlNumber, HalfwayCasesRoundToEven)
{
    // Above 2^24 floats are 2 apart: odd integers lie exactly halfway.
    struct Case {
        const char* text;
        float value;
    };
    for (const Case& c : {Case{"16777217", 16777216.0f}, Case{"16777219", 16777220.0f},
                          Case{"1677721.7e1", 16777216.0f}, Case{"-33554434", -33554432.0f},
                          Case{"16777217.000001", 16777218.0f}}) {
        float value = 0;
        ASSERT_TRUE(Parse(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

#include "support/numbers.h"

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

struct FoldCase {
    const char* what;
    Text text;
    Text expected;
};

TEST(FoldToHalfWidth, ReplacesFullWidthFormsAndKeepsOtherCharacters) {
    const FoldCase cases[] = {
        {"full-width digits", "\xA3\xB1\xA3\xB5", "15"},
        {"full-width sign and point", "\xA3\xAB\xA3\xAD\xA3\xAE", "+-."},
        {"first and last full-width forms", "\xA3\xA1\xA3\xFE", "!~"},
        {"full-width letter", "\xA3\xD6", "V"},
        {"ideographic space", "\xA1\xA1", " "},
        {"full-width tilde", "\xA1\xAB", "~"},
        {"white and black stars", "\xA1\xEE\xA1\xEF", "**"},
        {"mixed with ASCII", "a\xA3\xB1 b", "a1 b"},
        {"Chinese characters kept", "晨枫", "晨枫"},
        {"A3 outside the forms kept", "\xA3\xA0\xA3\xFF", "\xA3\xA0\xA3\xFF"},
        {"other A1 pairs kept", "\xA1\xA2", "\xA1\xA2"},
        // The second byte is part of the character, never a digit of its own.
        {"second byte in the ASCII range", "\x81\x31", "\x81\x31"},
        // Pairs are taken from the left: B3 A3 is a character, so A3 B1 is not a digit.
        {"pairing starts at the left", "\xB3\xA3\xB1", "\xB3\xA3"},
        {"lone lead byte at the end dropped", "12\xA3", "12"},
        {"lead byte before NUL ends the fold",
         "1\xA3\0"s
         "2",
         "1"},
    };
    for (const FoldCase& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(foldToHalfWidth(test.text), test.expected);
    }
}

TEST(FoldToHalfWidth, ReadsNothingPastALoneLeadByte) {
    const std::vector<char> buffer = {'7', '\xA3'};
    EXPECT_EQ(foldToHalfWidth(TextView(buffer.data(), buffer.size())), "7");
}

struct IntegerCase {
    const char* what;
    Text text;
    std::int32_t expected;
};

TEST(ToInteger, ReadsTheLeadingDecimalInteger) {
    const IntegerCase cases[] = {
        {"empty", "", 0},
        {"letters", "abc", 0},
        {"plain", "42", 42},
        {"leading spaces and tabs", "  \t42", 42},
        {"other white space", "\n\v\f\r5", 5},
        {"plus sign", "+7", 7},
        {"minus sign", "-15", -15},
        {"minus zero", "-0", 0},
        {"leading zeros", "007", 7},
        {"stops at a point", "12.9", 12},
        {"stops at a space", "1 2", 1},
        {"stops at a group separator", "1,000", 1},
        {"stops at a hexadecimal prefix", "0x1F", 0},
        {"space after the sign", "- 5", 0},
        {"two signs", "+-5", 0},
        {"trailing letters", "30min", 30},
        {"full-width digits", "\xA3\xB1\xA3\xB5", 15},
        {"full-width minus", "\xA3\xAD\xA3\xB5", -5},
        {"ideographic space skipped",
         "\xA1\xA1"
         "8",
         8},
        {"digit as a second byte", "\x81\x31", 0},
        {"Chinese after the digits", "22点", 22},
    };
    for (const IntegerCase& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(toInteger(test.text), test.expected);
    }
}

TEST(ToInteger, WrapsModuloTwoToThe32) {
    const IntegerCase cases[] = {
        {"largest", "2147483647", INT_MAX},
        {"one past the largest", "2147483648", INT_MIN},
        {"least", "-2147483648", INT_MIN},
        {"one below the least", "-2147483649", INT_MAX},
        {"2^32 - 1", "4294967295", -1},
        {"2^32 + 1", "4294967297", 1},
        {"twenty nines", "99999999999999999999", 1661992959},
    };
    for (const IntegerCase& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(toInteger(test.text), test.expected);
    }
}

struct NumberCase {
    const char* what;
    Text text;
    float expected;
};

TEST(ToNumber, ReadsTheLongestLeadingNumber) {
    const NumberCase cases[] = {
        {"empty", "", 0.0F},
        {"letters", "abc", 0.0F},
        {"decimal", "1.3", 1.3F},
        {"no whole part", ".5", 0.5F},
        {"no fraction digits", "5.", 5.0F},
        {"integer", "100", 100.0F},
        {"signs", "-2.25", -2.25F},
        {"plus sign and spaces", "  +4", 4.0F},
        {"trailing letters", "1.3abc", 1.3F},
        {"second point", "1.2.3", 1.2F},
        {"version after the marker", "1.3 2024", 1.3F},
        {"full-width", "\xA3\xB1\xA3\xAE\xA3\xB3", 1.3F},
        {"ideographic space skipped",
         "\xA1\xA1"
         "2.5",
         2.5F},
        {"only a point", ".", 0.0F},
        {"only a sign", "-", 0.0F},
        {"point and exponent without digits", ".e5", 0.0F},
        {"word inf", "inf", 0.0F},
        {"word nan", "nan", 0.0F},
        {"hexadecimal", "0x10", 0.0F},
        {"comma is no decimal point", "1,5", 1.0F},
    };
    for (const NumberCase& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(toNumber(test.text), test.expected);
    }
}

TEST(ToNumber, AcceptsAnExponentOnlyWithDigits) {
    const NumberCase cases[] = {
        {"e", "1e2", 100.0F},
        {"E", "1E2", 100.0F},
        {"d", "1d2", 100.0F},
        {"D", "1D2", 100.0F},
        {"negative exponent", "25d-1", 2.5F},
        {"signed exponent", "1.5e+1", 15.0F},
        {"after a point", "5.e1", 50.0F},
        {"letters after the exponent", "2.5e1x", 25.0F},
        {"letter alone", "1e", 1.0F},
        {"letter and sign", "1e+", 1.0F},
        {"d and sign", "1d-", 1.0F},
        {"letter and a word", "1dx", 1.0F},
    };
    for (const NumberCase& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(toNumber(test.text), test.expected);
    }
}

TEST(ToNumber, RoundsToSinglePrecisionAndOverflowsToInfinity) {
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    const NumberCase cases[] = {
        {"nearest float", "0.1", 0.1F},
        {"too large for single", "1e39", kInfinity},
        {"too large for single, negative", "-1e39", -kInfinity},
        {"too large for double", "1e400", kInfinity},
        {"largest float", "3.4028234e38", std::numeric_limits<float>::max()},
        {"too small", "1e-50", 0.0F},
    };
    for (const NumberCase& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(toNumber(test.text), test.expected);
    }
}

TEST(IntegerToText, WritesPlainDecimal) {
    EXPECT_EQ(integerToText(0), "0");
    EXPECT_EQ(integerToText(7), "7");
    EXPECT_EQ(integerToText(-5), "-5");
    EXPECT_EQ(integerToText(INT_MAX), "2147483647");
    EXPECT_EQ(integerToText(INT_MIN), "-2147483648");
}

struct FormatCase {
    float value;
    TextView expected;
};

TEST(NumberToText, WritesSixSignificantDigitsWithThreeDigitExponents) {
    const FormatCase cases[] = {
        {1.2F, "1.2"},
        {100.0F, "100"},
        {-2.25F, "-2.25"},
        {0.0001F, "0.0001"},
        {0.00001F, "1e-005"},
        {123456.0F, "123456"},
        {1e6F, "1e+006"},
        {9.999996F, "10"},
        {0.0F, "0"},
        {-0.0F, "0"},
        {0.1F, "0.1"},
        {0.5F, "0.5"},
        {1.3F, "1.3"},
        {999999.0F, "999999"},
        {0.000123456F, "0.000123456"},
        {-1234567.0F, "-1.23457e+006"},
        {std::numeric_limits<float>::max(), "3.40282e+038"},
        {std::numeric_limits<float>::min(), "1.17549e-038"},
        {std::numeric_limits<float>::denorm_min(), "1.4013e-045"},
    };
    for (const FormatCase& test : cases) {
        SCOPED_TRACE(test.expected);
        EXPECT_EQ(numberToText(test.value), test.expected);
    }
}

// These floats are exact halves at the sixth digit: rounding to even (what printf does)
// would give the other answer.
TEST(NumberToText, RoundsExactHalvesAwayFromZero) {
    const FormatCase cases[] = {
        {123456.5F, "123457"},
        {-123456.5F, "-123457"},
        {1234565.0F, "1.23457e+006"},
        {9999995.0F, "1e+007"},
    };
    for (const FormatCase& test : cases) {
        SCOPED_TRACE(test.expected);
        EXPECT_EQ(numberToText(test.value), test.expected);
    }
}

TEST(NumberToText, NamesInfinitiesAndNaN) {
    EXPECT_EQ(numberToText(std::numeric_limits<float>::infinity()), "inf");
    EXPECT_EQ(numberToText(-std::numeric_limits<float>::infinity()), "-inf");
    EXPECT_EQ(numberToText(std::numeric_limits<float>::quiet_NaN()), "nan");
}

TEST(NumberToText, ReadsBackAsTheVersionItWrites) {
    for (const float version : {1.2F, 1.3F, 2.0F, 10.25F}) {
        EXPECT_EQ(toNumber(numberToText(version)), version);
    }
}

struct WholeCase {
    double value;
    std::int32_t expected;
};

TEST(ToWholeNumber, TruncatesTowardZeroAndWrapsLikeThirtyTwoBitArithmetic) {
    const WholeCase cases[] = {
        {0.0, 0},
        {2.9, 2},
        {-2.9, -2},
        {-0.5, 0},
        {-1.0, -1},
        {22.0 + 50.0, 72},
        {2147483647.0, INT_MAX},
        {2147483647.0 + 1.0, INT_MIN},
        {-2147483648.0, INT_MIN},
        {-2147483648.0 - 1.0, INT_MAX},
        {4294967296.0 + 5.0, 5},
        {-4294967296.0 - 5.0, -5},
        {1099511627776.0 + 7.0, 7},
        {-1099511627776.0 - 7.0, -7},
    };
    for (const WholeCase& test : cases) {
        SCOPED_TRACE(test.value);
        EXPECT_EQ(toWholeNumber(test.value), test.expected);
    }
}

TEST(ToWholeNumber, KeepsTheLowBitsBeyondTheSixtyFourBitRange) {
    const WholeCase cases[] = {
        {9223372036854775808.0, 0},  // 2^63, one past the largest 64-bit integer
        {1e19, -1981284352},
        {-1e19, 1981284352},
        {1e300, 0},
        {std::numeric_limits<double>::infinity(), 0},
        {-std::numeric_limits<double>::infinity(), 0},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const WholeCase& test : cases) {
        SCOPED_TRACE(test.value);
        EXPECT_EQ(toWholeNumber(test.value), test.expected);
    }
}

}  // namespace

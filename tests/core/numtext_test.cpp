#include "core/numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/errors.h"

namespace quaff {
namespace {

FormatSettings WithSeparator(char sep) {
    FormatSettings fs;
    fs.decimalSeparator = sep;
    return fs;
}

struct FloatCase {
    std::string text;
    char sep;
    double expected;
};

TEST(StrToFloat, AcceptsTheNumberForms) {
    const FloatCase cases[] = {
        {"025000.00", '.', 25000},
        {"02.50", '.', 2.5},
        {"  7.5  ", '.', 7.5},
        {"+3", '.', 3},
        {"-2.5", '.', -2.5},
        {"5.", '.', 5},
        {".5", '.', 0.5},
        {".", '.', 0},
        {"      .  ", '.', 0},  // an empty salary field as saved
        {"  .  ", '.', 0},      // an empty price field as saved
        {"1e3", '.', 1000},
        {"1E+3", '.', 1000},
        {"2.5e-3", '.', 0.0025},
        {"025000,00", ',', 25000},
        {"0.1", '.', 0.1},  // correctly rounded, not 0.1000000000000000055...+1ulp
        {"1.7976931348623157e308", '.', std::numeric_limits<double>::max()},
        {"1e-400", '.', 0},                  // too small: reads as 0, not an error
        {"0e99999999999999999999", '.', 0},  // a zero stays zero whatever the exponent
        {"0." + std::string(5000, '0') + "1", '.', 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StrToFloat(c.text, WithSeparator(c.sep)), c.expected);
    }
}

TEST(StrToFloat, RejectsEverythingElseWithTheTextInTheMessage) {
    // clang-format off
    const FloatCase cases[] = {
        {"", '.', 0},          {"   ", '.', 0},       {"+", '.', 0},
        {"-", '.', 0},         {"1e", '.', 0},        {"1e+", '.', 0},
        {"e5", '.', 0},        {"1 000", '.', 0},     {"1,5", '.', 0},
        {"025000.00", ',', 0}, {"\t5", '.', 0},       {"5x", '.', 0},
        {"1.2.3", '.', 0},     {"++1", '.', 0},       {"1.5 e3", '.', 0},
        {"1e400", '.', 0},     {"-1e400", '.', 0},    {std::string(400, '9'), '.', 0},
        {"1e99999999999999999999", '.', 0},           {std::string("5\0", 2), '.', 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            StrToFloat(c.text, WithSeparator(c.sep));
            ADD_FAILURE() << "accepted";
        } catch (const ConvertError& e) {
            EXPECT_STREQ(e.what(),
                         ("'" + c.text + "' is not a valid floating point value").c_str());
        }
    }
}

struct IntCase {
    std::string text;
    int32_t expected;
};

TEST(StrToInt, AcceptsDecimalAndHexadecimalForms) {
    const IntCase cases[] = {
        {"5", 5},
        {"  42", 42},
        {"+7", 7},
        {"-0", 0},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$5", 5},
        {"$ff", 255},
        {"x1F", 31},
        {"X10", 16},
        {"0x7FFFFFFF", INT32_MAX},
        {"0XFFFFFFFF", -1},  // taken as a 32-bit pattern
        {"$80000000", INT32_MIN},
        {" $000000001", 1},  // leading zeros do not count against the eight digits
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StrToInt(c.text), c.expected);
    }
}

TEST(StrToInt, RejectsEverythingElse) {
    // clang-format off
    const std::string cases[] = {
        "",   " ",          "5 ",          "5.5",        "2147483648", "-2147483649",
        "$",  "0x",         "-$5",         "+0x5",       "$100000000", "$G",
        "1e3", "+",         "- 5",         "99999999999999999999",     "\t5",
        std::string("5\0", 2),
    };
    // clang-format on
    for (const auto& text : cases) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(TryStrToInt(text).has_value());
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted";
        } catch (const ConvertError& e) {
            EXPECT_STREQ(e.what(), ("'" + text + "' is not a valid integer value").c_str());
        }
    }
}

struct FormatCase {
    double value;
    char sep;
    const char* expected;
};

TEST(FloatToStr, GeneralFormatWithFifteenDigits) {
    const FormatCase cases[] = {
        {3, '.', "3"},
        {0.1 + 0.2, '.', "0.3"},
        {-2.5, '.', "-2.5"},
        {2.5, ',', "2,5"},
        {1.0 / 3, '.', "0.333333333333333"},
        {2.0 / 3, '.', "0.666666666666667"},
        {123456789012345, '.', "123456789012345"},
        {999999999999999.5, '.', "1E15"},  // rounds up to sixteen digits
        {1e15, '.', "1E15"},
        {1e20, '.', "1E20"},
        {-1.5e20, ',', "-1,5E20"},
        {0.00001, '.', "0.00001"},
        {0.000001, '.', "1E-6"},
        {-1.25e-7, '.', "-1.25E-7"},
        {1e-300, '.', "1E-300"},
        {0.0, '.', "0"},
        {-0.0, '.', "0"},
        {std::numeric_limits<double>::quiet_NaN(), '.', "NAN"},
        {-std::numeric_limits<double>::infinity(), '.', "-INF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(FloatToStr(c.value, WithSeparator(c.sep)), c.expected);
    }
}

TEST(ErrorBoxText, AddsAFullStopOnlyAfterBytesAboveIt) {
    const struct {
        std::string message, expected;
    } cases[] = {
        {"'x' is not a valid integer value", "'x' is not a valid integer value."},
        {"", ""},
        {"Invalid input value.  Use escape key to abandon changes",
         "Invalid input value.  Use escape key to abandon changes."},
        {"Already ends.", "Already ends."},
        {"trailing blank ", "trailing blank "},
        {"ends in (paren)", "ends in (paren)"},
        {"ends in -", "ends in -"},
        {"JPEG error #42", "JPEG error #42."},
        {"caf\xe9", "caf\xe9."},  // compared as unsigned bytes
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorBoxText(c.message), c.expected);
}

}  // namespace
}  // namespace quaff

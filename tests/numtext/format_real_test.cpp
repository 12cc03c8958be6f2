// Double to decimal text: the worked examples of the number format, with their texts, an oracle
// apart from the exact model (make_vectors.py) that every other exact text comes from; and what no
// list of vectors shows: over many random doubles the text fits 18 bytes and reads back as the
// value rounded to seven digits, by the C library's reading; the register stack and exception flags
// as the caller expects them; and string_length.
#include "numtext/numtext.h"
#include "tests/numtext/fpu_state.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

std::string formatted(double value) {
    char text[64];
    memset(text, '#', sizeof text);
    format_real(value, text);
    EXPECT_LT(strlen(text), (size_t)formatted_size) << text;
    EXPECT_EQ(text[formatted_size], '#') << "wrote past 18 bytes";
    return text;
}

// Read at run time, so that 2/3 and -1/3 are divided as doubles, not folded.
volatile double opaque_two = 2, opaque_three = 3;

struct FormatCase {
    double value;
    const char* text;
};

const FormatCase format_cases[] = {
    {0, "0"},
    {-0.0, "0"},
    {1, "1"},
    {-7, "-7"},
    {42, "42"},
    {65536, "65536"},
    {123456789, "123456789"},
    {10000000, "10000000"},
    {4503599627370495.0, "4503599627370495"},
    {4503599627370496.0, "4.503600e+015"},
    {-2.5, "-2.5"},
    {0.5, "0.5"},
    {0.1, "0.1"},
    {0.15, "0.15"},
    {0.30000000000000004, "0.3"},
    {3.14159265358979, "3.141593"},
    {-1234.5678, "-1234.568"},
    {99999.99, "99999.99"},
    {1234566.5, "1234566"},
    {1234567.5, "1234568"},
    {1000000.5, "1000000"},
    {12345678.5, "1.234568e+007"},
    {0.0953102, "9.531020e-002"},
    {0.05, "5.000000e-002"},
    {0.001, "1.000000e-003"},
    {1.5e-5, "1.500000e-005"},
    {1e-7, "1.000000e-007"},
    {1e16, "1.000000e+016"},
    {1e20, "1.000000e+020"},
    {1e23, "1.000000e+023"},
    {-1e100, "-1.000000e+100"},
    {9.9999999, "10"},
    {0.999999951, "1"},
    {0.099999999, "0.1"},
    {999999.95, "1000000"},
    {DBL_MAX, "1.797693e+308"},
    {4.9406564584124654e-324, "4.940656e-324"},
};

TEST(FormatReal, TheFormatsWorkedExamples) {
    for (const FormatCase& c : format_cases)
        EXPECT_EQ(formatted(c.value), c.text) << "value " << c.value;
    EXPECT_EQ(formatted(opaque_two / opaque_three), "0.6666667");
    EXPECT_EQ(formatted(-1 / opaque_three), "-0.3333333");
}

// Reads back as the value rounded to seven significant digits; whole numbers below 2^52 exactly.
TEST(FormatReal, ReadsBackAsTheValueRoundedToSevenDigits) {
    std::mt19937_64 random(2026);
    for (int i = 0; i < 200000; ++i) {
        uint64_t bits = random();
        double value;
        if (i % 4 == 0)
            value = (double)(int64_t)(random() % 10000000000ll) / 1000.0;
        else
            value = __builtin_bit_cast(double, bits);
        if (!std::isfinite(value) || value == 0)
            continue;
        std::string text = formatted(value);
        double shown = strtod(text.c_str(), nullptr); // the decimal value of our text
        char reference_text[40];
        snprintf(reference_text, sizeof reference_text, "%.6e", value);
        double reference = strtod(reference_text, nullptr);
        if (std::fabs(value) < 4503599627370496.0 && value == std::trunc(value))
            reference = value;
        // The scaling rounds to 53 bits, so a value within a hair of a seventh-digit tie may
        // round either way.
        if (shown != reference) {
            double ulp7 = std::pow(10.0, std::floor(std::log10(std::fabs(reference))) - 6);
            ASSERT_LT(std::fabs(shown - reference), ulp7 * 1.01) << text << " for " << value;
            ASSERT_LT(std::fabs(std::fabs(value - reference) - ulp7 / 2), ulp7 * 1e-8)
                << text << " for " << value;
        }
        // Read back by our own parser: exact while the exponent applied is at most 22, within
        // the rounding of the table steps beyond.
        double back = 0;
        parse_real(text.c_str(), &back);
        if (std::fabs(shown) >= 1e-16 && std::fabs(shown) < 1e29)
            ASSERT_EQ(back, shown) << text;
        else
            ASSERT_LE(std::fabs(back - shown), std::fabs(shown) * 0x1p-50 + 0x1p-1074) << text;
    }
}

TEST(FormatReal, LeavesTheRegisterStackAndClearsPendingExceptions) {
    for (double value : {1.0, -42.5, 0.1, 1e300, 5e-324, 1e23, 4503599627370496.0}) {
        raise_zero_divide_flag();
        char text[formatted_size];
        format_real(value, text);
        FpuState after = fpu_state();
        EXPECT_EQ(after.status_word & zero_divide_flag, 0) << value;
        EXPECT_EQ(after.status_word & stack_fault_flags, 0) << value;
        EXPECT_EQ(after.tag_word, all_registers_empty) << value;
    }
    // Zero returns before it touches the unit.
    raise_zero_divide_flag();
    char text[formatted_size];
    format_real(0.0, text);
    EXPECT_NE(fpu_state().status_word & zero_divide_flag, 0);

    x87_clear_exceptions();
    const uint16_t top_before = fpu_state().status_word & stack_top_field;
    for (int i = 0; i < 9; ++i)
        format_real(0.1 * i + 1, text);
    EXPECT_EQ(fpu_state().status_word & stack_top_field, top_before);
    EXPECT_STREQ(text, "1.8");
}

TEST(StringLength, CountsBytesBeforeTheTerminator) {
    const std::pair<const char*, unsigned> cases[] = {
        {"", 0}, {"abc", 3}, {"abcd", 4}, {"abcde", 5}, {"abcdefgh", 8}, {"abc\0def", 3}};
    for (const auto& [text, length] : cases)
        EXPECT_EQ(string_length(text), length) << text;
    static char full[text_buffer_size];
    memset(full, 'x', sizeof full - 1);
    EXPECT_EQ(string_length(full), text_buffer_size - 1);
}

} // namespace

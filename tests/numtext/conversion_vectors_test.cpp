// Bit-exact results where plain double arithmetic cannot reproduce them: exponents beyond 22,
// denormals and values next to seventh-digit ties, against an exact model of the conversions
// (make_vectors.py). Also the power-of-ten tables against the C library's correctly rounded
// long double reading, and the table steps of scale_by_pow10.
#include "numtext/numtext.h"
#include "numtext/pow10_tables.h"
#include "tests/numtext/fpu_state.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

struct ParseVector {
    const char* text;
    uint64_t bits;
    size_t consumed;
};

struct FormatVector {
    uint64_t bits;
    const char* text;
};

#include "tests/numtext/conversion_vectors.inc"

template <size_t count> void expect_read_as_the_model_says(const ParseVector (&vectors)[count]) {
    for (const ParseVector& v : vectors) {
        double value = 0;
        const char* end = parse_real(v.text, &value);
        EXPECT_EQ(__builtin_bit_cast(uint64_t, value), v.bits) << v.text << " gave " << value;
        EXPECT_EQ((size_t)(end - v.text), v.consumed) << v.text;
    }
}

TEST(ConversionVectors, TextsReadAsTheModelSays) {
    expect_read_as_the_model_says(parse_vectors);
}

// Next to where the store to a double rounds a second time (to zero, between denormals, at the
// smallest normal), the 53-bit result can land on the boundary itself: the sign stays, and the
// tie goes to even, not to the correctly rounded neighbour.
TEST(ConversionVectors, TextsNextToDenormalRoundingBoundariesReadAsTheModelSays) {
    expect_read_as_the_model_says(denormal_boundary_vectors);
}

TEST(ConversionVectors, DoublesAreWrittenAsTheModelSays) {
    for (const FormatVector& v : format_vectors) {
        char text[formatted_size];
        double value = __builtin_bit_cast(double, v.bits);
        format_real(value, text);
        EXPECT_STREQ(text, v.text) << std::hex << v.bits;
    }
}

bool same_long_double(long double a, long double b) {
    return memcmp(&a, &b, 10) == 0;
}

TEST(Pow10Tables, EntriesAreTheExactPowersRoundedTo64Bits) {
    struct Table {
        const long double* entries;
        int count, step;
    };
    const Table tables[] = {{pow10_low, 15, 1}, {pow10_mid, 15, 16}, {pow10_high, 18, 256}};
    for (const Table& table : tables) {
        for (int k = 1; k <= table.count; ++k) {
            std::string text = "1e" + std::to_string(k * table.step);
            long double exact = strtold(text.c_str(), nullptr);
            EXPECT_TRUE(same_long_double(table.entries[k - 1], exact)) << text;
        }
    }
}

// Each entry enters rounded to 53 bits, even the first (1 x entry); low table first.
TEST(ScaleByPow10, RoundsEveryTableStepTo53Bits) {
    struct ScaleCase {
        long double x;
        int n;
        long double result;
    };
    const ScaleCase cases[] = {
        // Values whose product differs when the first entry is taken with all 64 bits.
        {0xA163645A94DA5000p-62L, 32, 0xC6ED2703ECD88800p+44L},
        {0x90C67CA595C7E800p-70L, -32, 0xEAE952BEA4F9C800p-177L},
        {0xBBFD1C6801C76000p-57L, 4608, 0xFFDA02F353D22800p+15250L},
        {0x90645E37C6D1F000p-56L, -4608, 0xD42FA4B363848800p-15364L},
        {0xE000000000000000p-61L, 4863, 0xA26E412634C18000p+16094L},
        {0xE000000000000000p-61L, -4863, 0x9A741DB54197D000p-16215L},
        {0x8000000000000000p-1137L, 330, 0x96C6E0EAB509E800p-41L}, // the smallest denormal
        {0xEB79A2A000000000p-37L, -300, 0x9DB22E9094E24800p-1033L},
        {0xFFFFFFFFFFFFFFFFp-64L, 0, 0x8000000000000000p-63L}, // x itself is rounded
    };
    for (const ScaleCase& c : cases) {
        x87_set_control_word(x87_conversion_control_word);
        long double result = scale_by_pow10(c.x, c.n);
        x87_set_control_word(x87_extended_control_word);
        EXPECT_TRUE(same_long_double(result, c.result)) << c.n << " " << (double)c.x;
    }
}

} // namespace

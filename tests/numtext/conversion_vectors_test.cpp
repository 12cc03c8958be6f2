// The conversions against an exact model of them (make_vectors.py), bit for bit, under every
// control word a caller may have in force, which each conversion must hand back: random texts and
// doubles, and the chosen edges where plain double arithmetic cannot reproduce the results
// (exponents beyond 22 and past the tables' reach, denormals, values next to seventh-digit ties,
// texts of many thousand characters), the table steps of scale_by_pow10 and the ties of
// integer_to_digits. Also the power-of-ten tables against the C library's correctly rounded long
// double reading.
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
    uint64_t bits; // unwritten_bits: the destination is left alone
    size_t consumed;
};

// The text is head, `count` times `fill`, then tail.
struct LongParseVector {
    const char* head;
    char fill;
    size_t count;
    const char* tail;
    uint64_t bits;
    size_t consumed;
};

struct FormatVector {
    uint64_t bits;
    const char* text;
};

struct ScaleVector {
    long double x;
    int n;
    long double result;
};

struct DigitVector {
    long double x;
    const char* digits;
};

#include "tests/numtext/conversion_vectors.inc"

// Notes each text the model disagrees with, up to ten, and the count of them all.
struct Disagreements {
    unsigned count = 0;
    void note(const std::string& what) {
        if (++count <= 10)
            ADD_FAILURE() << what;
    }
    ~Disagreements() { EXPECT_EQ(count, 0u) << "vectors the code disagrees with"; }
};

std::string hex(uint64_t value) {
    char text[24];
    snprintf(text, sizeof text, "%016llX", (unsigned long long)value);
    return text;
}

void expect_read(const std::string& text, uint64_t bits, size_t consumed, Disagreements& found) {
    for (uint16_t control_word : caller_control_words) {
        double value = __builtin_bit_cast(double, unwritten_bits);
        x87_set_control_word(control_word);
        const char* end = parse_real(text.c_str(), &value);
        uint16_t left = fpu_state().control_word;
        x87_set_control_word(x87_extended_control_word);
        uint64_t read = __builtin_bit_cast(uint64_t, value);
        if (read != bits || (size_t)(end - text.c_str()) != consumed || left != control_word)
            found.note(text.substr(0, 40) + " (" + std::to_string(text.size()) +
                       " characters) under control word " + hex(control_word).substr(12) +
                       ": read " + hex(read) + " and " + std::to_string(end - text.c_str()) +
                       " characters, left control word " + hex(left).substr(12) + "; expected " +
                       hex(bits) + " and " + std::to_string(consumed));
    }
}

template <size_t count> void expect_read_as_the_model_says(const ParseVector (&vectors)[count]) {
    Disagreements found;
    for (const ParseVector& v : vectors)
        expect_read(v.text, v.bits, v.consumed, found);
}

TEST(ConversionVectors, TextsReadAsTheModelSays) {
    expect_read_as_the_model_says(parse_vectors);
    Disagreements found;
    for (const LongParseVector& v : long_parse_vectors)
        expect_read(v.head + std::string(v.count, v.fill) + v.tail, v.bits, v.consumed, found);
}

// Next to where the store to a double rounds a second time (to zero, between denormals, at the
// smallest normal), the 53-bit result can land on the boundary itself: the sign stays, and the
// tie goes to even, not to the correctly rounded neighbour.
TEST(ConversionVectors, TextsNextToDenormalRoundingBoundariesReadAsTheModelSays) {
    expect_read_as_the_model_says(denormal_boundary_vectors);
}

TEST(ConversionVectors, DoublesAreWrittenAsTheModelSays) {
    Disagreements found;
    for (uint16_t control_word : caller_control_words) {
        for (const FormatVector& v : format_vectors) {
            char text[formatted_size];
            x87_set_control_word(control_word);
            format_real(__builtin_bit_cast(double, v.bits), text);
            uint16_t left = fpu_state().control_word;
            x87_set_control_word(x87_extended_control_word);
            if (strcmp(text, v.text) != 0 || left != control_word)
                found.note(hex(v.bits) + " under control word " + hex(control_word).substr(12) +
                           ": \"" + text + "\", left control word " + hex(left).substr(12) +
                           "; expected \"" + v.text + "\"");
        }
    }
}

bool same_long_double(long double a, long double b) {
    return memcmp(&a, &b, 10) == 0;
}

// Each entry enters rounded to 53 bits, even the first (1 x entry); low table first.
TEST(ConversionVectors, ScaleByPow10RoundsEveryTableStepTo53Bits) {
    for (const ScaleVector& v : scale_vectors) {
        x87_set_control_word(x87_conversion_control_word);
        long double result = scale_by_pow10(v.x, v.n);
        x87_set_control_word(x87_extended_control_word);
        EXPECT_TRUE(same_long_double(result, v.result)) << v.n << " " << (double)v.x;
    }
}

TEST(ConversionVectors, IntegerToDigitsRoundsTiesToEvenIntoEighteenDigits) {
    for (const DigitVector& v : digit_vectors) {
        integer_to_digits(v.x);
        EXPECT_EQ(std::string(digit_text, 18), v.digits) << (double)v.x;
    }
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

} // namespace

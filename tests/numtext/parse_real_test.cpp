// Decimal text to double: the worked examples, the exponent bounds, and properties that hold for
// any text: correctly rounded short decimals, no read past the terminator, the caller's control
// word kept.
#include "numtext/numtext.h"
#include "platform/x87.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

uint64_t bits_of(double value) {
    return __builtin_bit_cast(uint64_t, value);
}

struct ParseCase {
    const char* text;
    double value;
    size_t consumed; // offset of the returned pointer
};

const double inf = HUGE_VAL;

const ParseCase parse_cases[] = {
    {"0.1", 0.1, 3},
    {"-2.5", -2.5, 4},
    {"1.5E+3", 1500, 6},
    {"1.5e3", 1500, 5},
    {"123.456e-2", 1.23456, 10},
    {"7.", 7, 2},
    {".5", 0.5, 2},
    {"1.2.3", 12.3, 5},
    {"-0", -0.0, 2},
    {"-abc", -0.0, 1},
    {"abc", 0.0, 0},
    {" 5", 0.0, 0},
    {"5x", 5, 1},
    {"5 ", 5, 1},
    {"3,5", 3, 1},
    {"+-5", 0.0, 1},
    {"e5", 0.0, 2},
    {".", 0.0, 1},
    {"1e", 1, 2},
    {"1e-", 1, 3},
    {"1e+x", 1, 3},
    {"12345678901234567890", 12345678901234569216.0, 20},
    {"1e400", inf, 5},
    {"1e-400", 0.0, 6},
    {"4.9406564584124654e-324", 4.9406564584124654e-324, 23},
    {"1.7976931348623157e308", 1.7976931348623157e308, 22},
    {"1e23", 1e23, 4},
    {"1e32", 1e32, 4},
    // Exponents past the tables' reach saturate instead of overflowing the integer.
    {"1e5000", inf, 6},
    {"-1e5000", -inf, 7},
    {"1e-5000", 0.0, 7},
    {"0e5000", 0.0, 6},
    {"1e99999999999999999999", inf, 22},
    {"1e-99999999999999999999", 0.0, 23},
    {"1e2147483647", inf, 12},
    {"1e2147483648", inf, 12},
};

TEST(ParseReal, WorkedExamplesAndEdgeCases) {
    for (const ParseCase& c : parse_cases) {
        double value = 12345;
        const char* end = parse_real(c.text, &value);
        EXPECT_EQ(bits_of(value), bits_of(c.value)) << c.text << " gave " << value;
        EXPECT_EQ((size_t)(end - c.text), c.consumed) << c.text;
    }
}

TEST(ParseReal, TextsWithoutDigitPositionsLeaveTheDestination) {
    for (const char* text : {"", "+", "-"}) {
        double value = 42;
        const char* end = parse_real(text, &value);
        EXPECT_EQ(value, 42) << text;
        EXPECT_EQ(*end, 0);
        EXPECT_EQ((size_t)(end - text), strlen(text));
    }
}

TEST(ParseReal, ThousandDigitExponentsAndMantissas) {
    double value = 0;
    std::string huge_exponent = "1e" + std::string(1000, '9');
    parse_real(huge_exponent.c_str(), &value);
    EXPECT_EQ(value, inf);
    std::string tiny = "1e-" + std::string(1000, '9');
    parse_real(tiny.c_str(), &value);
    EXPECT_EQ(bits_of(value), bits_of(0.0));
    std::string long_fraction = "0." + std::string(400, '0') + "1e401";
    parse_real(long_fraction.c_str(), &value);
    EXPECT_EQ(value, 1);
}

// With at most 15 significant digits and |exponent| <= 22 only the last operation rounds.
TEST(ParseReal, ShortDecimalsAreCorrectlyRounded) {
    std::mt19937_64 random(12345);
    for (int i = 0; i < 200000; ++i) {
        int digits = 1 + random() % 15;
        std::string text = random() % 2 ? "-" : "";
        std::string mantissa;
        for (int d = 0; d < digits; ++d)
            mantissa += (char)('0' + random() % 10);
        int point = random() % (digits + 1);
        text += mantissa.substr(0, point) + "." + mantissa.substr(point);
        int fraction_digits = digits - point;
        int net_exponent = (int)(random() % 45) - 22;
        text += "e" + std::to_string(net_exponent + fraction_digits);
        double ours = 0;
        parse_real(text.c_str(), &ours);
        double reference = strtod(text.c_str(), nullptr);
        ASSERT_EQ(bits_of(ours), bits_of(reference)) << text;
    }
}

TEST(ParseReal, KeepsTheCallersControlWord) {
    for (unsigned short control_word : {0x037F, 0x027F, 0x007F, 0x0C7F, 0x0E7F, 0x0A7F}) {
        for (const char* text : {"", "-", "1.5", "1e400", "1e-400", "abc", "1e99999"}) {
            x87_set_control_word(control_word);
            double value = 0;
            parse_real(text, &value);
            unsigned short after = x87_get_control_word();
            x87_set_control_word(x87_extended_control_word);
            EXPECT_EQ(after, control_word) << text;
        }
    }
    // The result does not depend on the caller's precision or rounding.
    x87_set_control_word(0x0C7F);
    double truncating = 0;
    parse_real("0.1", &truncating);
    x87_set_control_word(x87_extended_control_word);
    EXPECT_EQ(truncating, 0.1);
}

// A text placed at the very end of readable memory: any read past its terminator faults.
TEST(ParseReal, NeverReadsPastTheTerminator) {
    long page = sysconf(_SC_PAGESIZE);
    char* pages =
        (char*)mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(pages, MAP_FAILED);
    ASSERT_EQ(mprotect(pages + page, page, PROT_NONE), 0);
    const char* texts[] = {"",   "+",    "-", "1e", "1e-", "1e+", "5.",    "-.",
                           ".e", "1.2.", "e", "9",  "-0",  "1e5", "1e-5x", "12345678901234567"};
    for (const char* text : texts) {
        size_t size = strlen(text) + 1;
        char* placed = pages + page - size;
        memcpy(placed, text, size);
        double value = 0;
        const char* end = parse_real(placed, &value);
        EXPECT_LE(end, pages + page - 1) << text;
    }
    munmap(pages, 2 * page);
}

} // namespace

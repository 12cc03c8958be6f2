// Decimal text to double: the worked examples, exponents past the tables' reach, and properties
// that hold for any text: short decimals correctly rounded, no read past the terminator, and the
// caller's x87 state kept.
#include "numtext/numtext.h"
#include "tests/numtext/fpu_state.h"

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
    {"1e--5", 1, 3},
    {"1e5.5", 100000, 3},
    {"-e5", -0.0, 3},
    {"+5", 5, 2},
    {"0012.50", 12.5, 7},
    {"12345678901234567890", 12345678901234569216.0, 20},
    {"1e400", inf, 5},
    {"1e-400", 0.0, 6},
    {"-1e-400", -0.0, 7},
    {"4.9406564584124654e-324", 4.9406564584124654e-324, 23},
    // Rounded twice: to 53 bits, giving exactly half the smallest denormal, then to even.
    {"2.4703282292062328e-324", 0.0, 23},
    {"1.7976931348623157e308", 1.7976931348623157e308, 22},
    {"1e23", 1e23, 4},
    {"1e32", 1e32, 4},
    // Exponents past the tables' reach saturate instead of overflowing the integer.
    {"1e4863", inf, 6},
    {"1e5000", inf, 6},
    {"-1e5000", -inf, 7},
    {"1e-5000", 0.0, 7},
    {"-1e-5000", -0.0, 8},
    {"0e5000", 0.0, 6},
    {"-0e5000", -0.0, 7},
    {"0.0e99999999999", 0.0, 15},
    {"1e99999999999", inf, 13},
    {"1e99999999999999999999", inf, 22},
    {"1e-99999999999999999999", 0.0, 23},
    {"1e2147483647", inf, 12},
    {"1e2147483648", inf, 12},
    {"1e4294967297", inf, 12},  // 10 if the exponent wrapped at 32 bits
    {"1e-4294967297", 0.0, 13}, // 0.1 if it wrapped
    {"1e-2147483648", 0.0, 13},
};

void expect_parse_cases() {
    for (const ParseCase& c : parse_cases) {
        double value = 12345;
        const char* end = parse_real(c.text, &value);
        EXPECT_EQ(bits_of(value), bits_of(c.value)) << c.text << " gave " << value;
        EXPECT_EQ((size_t)(end - c.text), c.consumed) << c.text;
    }
}

TEST(ParseReal, WorkedExamplesAndEdgeCases) {
    expect_parse_cases();
}

// The result does not depend on the caller's precision or rounding, and the caller gets its
// control word back.
TEST(ParseReal, SameResultsAndControlWordUnderAnyCallerSetting) {
    for (uint16_t control_word : caller_control_words) {
        x87_set_control_word(control_word);
        expect_parse_cases();
        double value = 0;
        for (const char* text : {"", "-", "1e", "abc"})
            parse_real(text, &value);
        EXPECT_EQ(fpu_state().control_word, control_word);
        x87_set_control_word(x87_extended_control_word);
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

TEST(ParseReal, LongExponentsAndMantissas) {
    struct LongCase {
        std::string text;
        double value;
    };
    const std::string zeros(5000, '0');
    const LongCase cases[] = {
        {"1e" + std::string(1000, '9'), inf},
        {"-1e" + std::string(1000, '9'), -inf},
        {"1e-" + std::string(1000, '9'), 0.0},
        {"1e" + zeros + "7", 1e7},
        {"0." + zeros.substr(0, 400) + "1e401", 1},
        // The exponent alone is past the tables' reach; with the point it is not.
        {"0." + zeros + "1e5001", 1},
        {"0." + zeros + "25e5003", 250},
        {"0." + std::string(100000, '0') + "1e100001", 1},
        {"0." + zeros + "1e4900", 0x1.665bf1d3e6a8dp-336}, // 1e-101 through the tables
        // The mantissa rounds digit by digit once past 10^22, and the tables round too.
        {"1" + zeros.substr(0, 300) + "e-300", 0x1.0000000000001p+0},
        // The tables' whole reach, from a mantissa long enough to bring it back into range.
        {"1" + zeros.substr(0, 4600) + "e-4863", 0x1.4272053ed4482p-874},
        // Saturation at its edges: nineteen digits overflow an integer that saturates near
        // 10^18, and a saturated exponent stays beyond any run of zeros a text can bring.
        {"1e" + std::string(19, '9'), inf},
        {"0." + std::string(100000, '0') + "1e" + std::string(20, '9'), inf},
    };
    for (const LongCase& c : cases) {
        double value = 12345;
        const char* end = parse_real(c.text.c_str(), &value);
        EXPECT_EQ(bits_of(value), bits_of(c.value)) << c.text.substr(0, 40);
        EXPECT_EQ(*end, 0);
    }
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
        text += (random() % 2 ? "e" : "E") + std::to_string(net_exponent + fraction_digits);
        double ours = 0;
        parse_real(text.c_str(), &ours);
        double reference = strtod(text.c_str(), nullptr);
        ASSERT_EQ(bits_of(ours), bits_of(reference)) << text;
    }
}

// Texts placed at the very end of readable memory: any read past the terminator faults.
TEST(ParseReal, NeverReadsPastTheTerminator) {
    long page = sysconf(_SC_PAGESIZE);
    char* pages =
        (char*)mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(pages, MAP_FAILED);
    ASSERT_EQ(mprotect(pages + page, page, PROT_NONE), 0);
    char* const page_end = pages + page;

    std::vector<std::string> texts = {"",   "+",    "-", "1e", "1e-", "1e+", "5.",    "-.",
                                      ".e", "1.2.", "e", "9",  "-0",  "1e5", "1e-5x", "E+"};
    std::mt19937 random(7);
    const char alphabet[] = "0123456789..eE+- x";
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        size_t length = random() % (i % 10 == 0 ? 600 : 24);
        for (size_t at = 0; at < length; ++at)
            text += alphabet[random() % (sizeof alphabet - 1)];
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        size_t size = text.size() + 1;
        ASSERT_LE(size, (size_t)page);
        char* placed = page_end - size;
        memcpy(placed, text.c_str(), size);
        double value = 0;
        const char* end = parse_real(placed, &value);
        ASSERT_GE(end, placed) << text;
        ASSERT_LE(end, page_end - 1) << text;
        // string_length reads four bytes a round: the last round must stop at the terminator.
        ASSERT_EQ(string_length(placed), text.size());
    }
    munmap(pages, 2 * page);
}

// Pending exception flags are cleared once the text is known not to be empty; the register stack
// is left empty, as the calling convention requires.
TEST(ParseReal, LeavesTheRegisterStackAndClearsPendingExceptions) {
    for (const char* text : {"1", "abc", "-0", "1e5000", "1e-5000", "0.1", "4.9e-324", "1e400"}) {
        raise_zero_divide_flag();
        double value = 0;
        parse_real(text, &value);
        FpuState after = fpu_state();
        EXPECT_EQ(after.status_word & zero_divide_flag, 0) << text;
        EXPECT_EQ(after.status_word & stack_fault_flags, 0) << text;
        EXPECT_EQ(after.tag_word, all_registers_empty) << text;
    }
    for (const char* text : {"", "+", "-"}) {
        raise_zero_divide_flag();
        double value = 0;
        parse_real(text, &value);
        EXPECT_NE(fpu_state().status_word & zero_divide_flag, 0) << "'" << text << "'";
    }
    x87_clear_exceptions();
    const uint16_t top_before = fpu_state().status_word & stack_top_field;
    double value = 0;
    for (int i = 0; i < 9; ++i)
        parse_real("2.5e300", &value);
    EXPECT_EQ(fpu_state().status_word & stack_top_field, top_before);
    EXPECT_EQ(value, 2.5e300);
}

} // namespace

// Decimal text to double: the number format's own examples with their values, an oracle apart from
// the exact model (make_vectors.py) that every other exact value comes from; and what no list of
// vectors shows: short decimals correctly rounded over many random texts, no read past the
// terminator, and the register stack and exception flags as the caller expects them.
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
    {"12345678901234567890", 12345678901234569216.0, 20},
    {"1e400", inf, 5},
    {"1e-400", 0.0, 6},
};

TEST(ParseReal, TheFormatsOwnExamples) {
    for (const ParseCase& c : parse_cases) {
        double value = 12345;
        const char* end = parse_real(c.text, &value);
        EXPECT_EQ(bits_of(value), bits_of(c.value)) << c.text << " gave " << value;
        EXPECT_EQ((size_t)(end - c.text), c.consumed) << c.text;
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

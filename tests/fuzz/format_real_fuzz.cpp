// format_real on any 64-bit pattern (the first eight input bytes, little-endian; missing bytes are
// zero). The text must have one of its shapes, fit in 18 bytes, and read back as the value
// rounded to seven significant digits: the C library's "%.6e" is the reference.
#include "numtext/numtext.h"
#include "tests/fuzz/fuzz_support.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

const size_t canary_buffer_size = 40;
const unsigned char canary = 0xA5;

uint64_t pattern_of(const uint8_t* data, size_t size) {
    uint64_t bits = 0;
    for (size_t i = 0; i < 8 && i < size; ++i)
        bits |= (uint64_t)data[i] << (8 * i);
    return bits;
}

[[noreturn]] void fail(const char* property, double value, const char* shown,
                       const std::string& expected) {
    char details[400];
    std::snprintf(details, sizeof details,
                  "value %a (%.17g, bits %016llX)\ntext     \"%s\"\nexpected \"%s\"", value, value,
                  (unsigned long long)bits_of(value), shown, expected.c_str());
    fuzz_failure(property, details);
}

// The text of seven significant digits D1..D7 with decimal exponent E.
std::string seven_digit_text(bool negative, const std::string& digits, int exponent) {
    std::string text = negative ? "-" : "";
    if (exponent >= -1 && exponent <= 6) {
        if (exponent == -1)
            text += '0';
        text += digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
        return text;
    }
    char tail[16];
    std::snprintf(tail, sizeof tail, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return text + digits.substr(0, 1) + "." + digits.substr(1) + tail;
}

// Digits and exponent of "%.Ne" text.
void split_scientific(const char* text, std::string* digits, int* exponent) {
    const char* letter = std::strchr(text, 'e');
    digits->assign(1, text[0]);
    digits->append(text + 2, letter);
    *exponent = std::atoi(letter + 1);
}

// The one or two seven-digit texts format_real may write for a finite non-zero value. Two when the
// value lies so near the middle between two seven-digit neighbours that the 53-bit scaling error
// can decide the rounding.
std::vector<std::string> acceptable_texts(double value) {
    bool negative = value < 0;
    double magnitude = negative ? -value : value;
    char text[64];
    std::snprintf(text, sizeof text, "%.6e", magnitude);
    std::string digits;
    int exponent;
    split_scientific(text, &digits, &exponent);
    std::vector<std::string> texts = {seven_digit_text(negative, digits, exponent)};

    std::snprintf(text, sizeof text, "%.30e", magnitude);
    split_scientific(text, &digits, &exponent);
    long long beyond_seventh = std::atoll(digits.substr(7, 9).c_str());
    if (std::llabs(beyond_seventh - 500000000) > 100)
        return texts;
    long long truncated = std::atoll(digits.substr(0, 7).c_str());
    texts.clear();
    for (long long candidate : {truncated, truncated + 1}) {
        int candidate_exponent = exponent;
        if (candidate == 10000000) {
            candidate = 1000000;
            ++candidate_exponent;
        }
        texts.push_back(seven_digit_text(negative, std::to_string(candidate), candidate_exponent));
    }
    return texts;
}

bool is_whole_in_integer_range(double magnitude) {
    return magnitude >= 1 && magnitude < 0x1p52 && magnitude == std::floor(magnitude);
}

double parse_under(unsigned short control_word, const char* text) {
    double read = 0;
    call_under_control_word(control_word, "parse_real", [&] { parse_real(text, &read); });
    return read;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    double value = double_of(pattern_of(data, size));
    unsigned char* buffer = (unsigned char*)std::malloc(canary_buffer_size);
    std::memset(buffer, canary, canary_buffer_size);
    char* shown = (char*)buffer;
    call_under_control_word(control_word_for(data, size, 3), "format_real",
                            [&] { format_real(value, shown); });

    for (size_t i = formatted_size; i < canary_buffer_size; ++i)
        if (buffer[i] != canary)
            fail("nothing is written past 18 bytes", value, "(unterminated)", "");
    if (std::memchr(buffer, 0, formatted_size) == nullptr)
        fail("the text ends within 18 bytes", value, "(unterminated)", "");

    bool negative = std::signbit(value);
    double magnitude = std::fabs(value);
    std::vector<std::string> expected;
    if (value != value)
        expected = {"nan"};
    else if (std::isinf(value))
        expected = {negative ? "-inf" : "inf"};
    else if (value == 0)
        expected = {"0"};
    else if (is_whole_in_integer_range(magnitude))
        expected = {(negative ? "-" : "") + std::to_string((long long)magnitude)};
    else
        expected = acceptable_texts(value);
    bool matched = false;
    for (const std::string& text : expected)
        matched = matched || text == shown;
    if (!matched)
        fail("the text is the value's seven-digit (or whole-number) text", value, shown,
             expected[0]);

    if (!std::isfinite(value) || value == 0) {
        std::free(buffer);
        return 0;
    }
    double read = parse_under(control_word_for(data, size, 4), shown);
    if (is_whole_in_integer_range(magnitude)) {
        if (bits_of(read) != bits_of(value))
            fail("a whole number below 2^52 reads back as itself", value, shown, expected[0]);
    } else {
        // Up to 22 the power of ten of parse_real is exact, so the read is correctly rounded.
        const char* exponent_letter = std::strchr(shown, 'e');
        int scale = exponent_letter ? std::atoi(exponent_letter + 1) - 6 : 0;
        double reference = std::strtod(shown, nullptr);
        bool exact = scale >= -22 && scale <= 22;
        // Seven digits accumulate exactly; the factor rounds once per table step, the scaling once
        // more, and one unit is to spare.
        bool within = exact ? bits_of(read) == bits_of(reference)
                            : rounds_within(read, std::strtold(shown, nullptr), 5 * 0x1p-53L);
        if (!within) {
            char reads[120];
            std::snprintf(reads, sizeof reads, "%s (reads as %a, nearest double %a)",
                          expected[0].c_str(), read, reference);
            fail(exact ? "the text reads back as the value rounded to seven digits"
                       : "the text reads back within the table scaling of seven digits",
                 value, shown, reads);
        }
    }
    std::free(buffer);
    return 0;
}

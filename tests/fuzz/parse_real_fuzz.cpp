// parse_real on any text. The input up to its first NUL becomes a heap text of exactly that size
// plus the terminator, so AddressSanitizer sees any read past the terminator.
//
// The exact model of the conversions (tests/numtext/make_vectors.py) gives the bits of the texts it
// lists, but cannot run here. So this target keeps a scanner of its own, the syntax alone, and
// checks what holds for whatever text the fuzzer makes (any bytes, up to thousands of characters,
// under any caller control word): where the scan ends, whether the destination is written, and
// that the value lies within the roundings the steps allow of the decimal value the text names.
#include "numtext/numtext.h"
#include "tests/fuzz/fuzz_support.h"

#include <cmath>
#include <string>

namespace {

// What the text syntax alone says about a text: where the scan ends, whether anything is written,
// and the decimal value read (significant digits and net exponent).
struct Scan {
    size_t end = 0;
    bool writes = true;
    bool negative = false;
    std::string significant_digits; // leading zeros dropped, trailing zeros kept
    long long net_exponent = 0;     // saturates far beyond the tables' reach
};

const long long exponent_saturation = 1000000000000LL;

Scan scan_text(const char* text) {
    Scan scan;
    size_t at = 0;
    if (text[at] == '+') {
        ++at;
    } else if (text[at] == '-') {
        scan.negative = true;
        ++at;
    }
    if (text[at] == 0) {
        scan.end = at;
        scan.writes = false;
        return scan;
    }
    long long digit_count = 0, point_at = -1;
    bool has_exponent = false;
    for (;; ++at) {
        char c = text[at];
        if (c == 'e' || c == 'E') {
            has_exponent = true;
            break;
        }
        if (c == '.') {
            point_at = digit_count;
        } else if (c >= '0' && c <= '9') {
            ++digit_count;
            if (!scan.significant_digits.empty() || c != '0')
                scan.significant_digits += c;
        } else {
            break;
        }
    }
    long long exponent = 0;
    bool exponent_negative = false;
    if (has_exponent) {
        ++at;
        if (text[at] == '+') {
            ++at;
        } else if (text[at] == '-') {
            exponent_negative = true;
            ++at;
        }
        for (; text[at] >= '0' && text[at] <= '9'; ++at) {
            exponent = exponent * 10 + (text[at] - '0');
            if (exponent > exponent_saturation)
                exponent = exponent_saturation;
        }
    }
    scan.end = at;
    scan.net_exponent = exponent_negative ? -exponent : exponent;
    if (point_at >= 0)
        scan.net_exponent -= digit_count - point_at;
    return scan;
}

std::string printable(const char* text, size_t length) {
    std::string shown;
    for (size_t i = 0; i < length && shown.size() < 300; ++i) {
        unsigned char c = text[i];
        char escaped[8];
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            shown += (char)c;
        } else {
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        }
    }
    return shown;
}

[[noreturn]] void fail(const char* property, const char* text, size_t length, double read,
                       double expected) {
    char details[512];
    std::snprintf(details, sizeof details,
                  "text (%zu bytes): \"%s\"\nread     %a (%.17g)\nexpected %a (%.17g)", length,
                  printable(text, length).c_str(), read, read, expected, expected);
    fuzz_failure(property, details);
}

// Up to this length the net exponent does not depend on how the exponent digits saturate: a text
// needs thousands of zeros after the point to bring a saturated exponent back into range.
const size_t max_checked_length = 4096;

// A value parse_real never produces, so an unwritten destination is recognisable.
const uint64_t unwritten_bits = 0x7FF4DEADBEEF0001ull;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t length = 0;
    while (length < size && data[length] != 0)
        ++length;
    char* text = new char[length + 1];
    std::memcpy(text, data, length);
    text[length] = 0;

    double first = double_of(unwritten_bits), second = double_of(unwritten_bits);
    const char *first_end = nullptr, *second_end = nullptr;
    call_under_control_word(control_word_for(data, size, 1), "parse_real",
                            [&] { first_end = parse_real(text, &first); });
    call_under_control_word(control_word_for(data, size, 2), "parse_real",
                            [&] { second_end = parse_real(text, &second); });

    if (first_end < text || first_end > text + length)
        fail("the returned pointer lies within the text", text, length, first, first);
    if (bits_of(first) != bits_of(second) || first_end != second_end)
        fail("the same text reads the same under any control word", text, length, second, first);

    Scan scan = scan_text(text);
    if (first_end != text + scan.end) {
        char property[80];
        std::snprintf(property, sizeof property, "the scan ends at offset %zu, not %td", scan.end,
                      first_end - text);
        fail(property, text, length, first, first);
    }
    if (!scan.writes) {
        if (bits_of(first) != unwritten_bits)
            fail("a text without a digit position leaves the destination", text, length, first,
                 double_of(unwritten_bits));
        delete[] text;
        return 0;
    }
    if (bits_of(first) == unwritten_bits)
        fail("a text with a digit position writes the destination", text, length, first, 0);
    if (first != first)
        fail("no text reads as NaN", text, length, first, 0);

    // The decimal value the text names: the C library reads it correctly rounded, to a double and
    // to the 64 bits of a long double.
    std::string canonical = (scan.negative ? "-" : "") +
                            (scan.significant_digits.empty() ? "0" : scan.significant_digits) +
                            "e" + std::to_string(scan.net_exponent);
    size_t digits = scan.significant_digits.size();
    long long n = scan.net_exponent;
    if (digits == 0 ||
        (length <= max_checked_length && (n > max_decimal_exponent || n < -max_decimal_exponent))) {
        // No significant digit, or beyond the tables' reach: zero or the overflowed value.
        double limit = digits != 0 && n > 0 ? HUGE_VAL : 0.0;
        double expected = scan.negative ? -limit : limit;
        if (bits_of(first) != bits_of(expected))
            fail("a zero mantissa or an exponent beyond the tables gives 0 or infinity", text,
                 length, first, expected);
    } else if (digits <= 15 && n >= -22 && n <= 22) {
        // Exact mantissa and exact power of ten: one rounding, so the nearest double.
        double correctly_rounded = std::strtod(canonical.c_str(), nullptr);
        if (bits_of(first) != bits_of(correctly_rounded))
            fail("up to 15 digits and |exponent| <= 22 read as the nearest double", text, length,
                 first, correctly_rounded);
    } else if (length <= max_checked_length) {
        // The first 15 digits accumulate exactly; each later one rounds twice at 53 bits (times
        // ten, plus the digit). The factor rounds once per table step and the scaling once more;
        // the store to a double then rounds a last time. One unit to spare for the 64-bit table
        // entries and second-order terms.
        long double exact = std::strtold(canonical.c_str(), nullptr);
        double roundings = 2.0 * (digits > 15 ? digits - 15 : 0) + 3 + 1 + 1;
        if (!rounds_within(first, exact, roundings * 0x1p-53L))
            fail("the value read is the rounding to double of its digits and scale, each step at "
                 "53 bits",
                 text, length, first, std::strtod(canonical.c_str(), nullptr));
    }
    delete[] text;
    return 0;
}

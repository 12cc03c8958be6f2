#include "numtext/numtext.h"
#include "platform/x87.h"

#include <stdint.h>

namespace {

// Opaque so that the scaling by ten is really done at the conversion's precision.
volatile long double ten = 10;

// Binary exponent e2 with 2^e2 <= |value| < 2^(e2+1), for denormals too.
int binary_exponent(uint64_t bits) {
    int biased = (int)((bits >> 52) & 0x7FF);
    if (biased)
        return biased - 1023;
    uint64_t significand = bits & ((1ull << 52) - 1);
    return 63 - __builtin_clzll(significand) - 1074;
}

// e2 * log10(2) rounded to the nearest integer; log10(2) to 32 fraction bits is close enough,
// since no binary exponent of a double lands near a half.
int decimal_exponent_estimate(int e2) {
    const long long log10_2_scaled = 1292913987; // log10(2) * 2^32
    long long scaled = (long long)e2 * log10_2_scaled + (1ll << 31);
    return (int)(scaled >> 32); // arithmetic shift: floor
}

bool is_whole(long double x) {
    long double rounded;
    __asm__("frndint" : "=t"(rounded) : "0"(x));
    return rounded == x;
}

// The integer form: every digit of a whole number whose estimate is 0 to 15.
char* write_whole_number(char* out, long double magnitude, int exponent) {
    integer_to_digits(magnitude);
    const char* digit = digit_text + 17 - exponent;
    if (*digit == '0')
        ++digit;
    while (digit < digit_text + 18)
        *out++ = *digit++;
    return out;
}

// Seven significant digits, in plain or exponent notation.
char* write_seven_digits(char* out, long double magnitude, int exponent) {
    long double scaled = scale_by_pow10(magnitude, 6 - exponent);
    if (scaled < 1000000.0) {
        scaled = scaled * ten;
        --exponent;
    }
    integer_to_digits(scaled);
    char digits[7];
    if (digit_text[10] == '1') { // rounding carried into an eighth digit: 10^7
        digits[0] = '1';
        for (int i = 1; i < 7; ++i)
            digits[i] = '0';
        ++exponent;
    } else {
        for (int i = 0; i < 7; ++i)
            digits[i] = digit_text[11 + i];
    }

    if (exponent >= -1 && exponent <= 6) {
        if (exponent == -1)
            *out++ = '0';
        for (int i = 0; i <= exponent; ++i)
            *out++ = digits[i];
        *out++ = '.';
        for (int i = exponent + 1; i < 7; ++i)
            *out++ = digits[i];
        while (out[-1] == '0')
            --out; // stops at the point at the latest
        if (out[-1] == '.')
            --out;
    } else {
        *out++ = digits[0];
        *out++ = '.';
        for (int i = 1; i < 7; ++i)
            *out++ = digits[i];
        *out++ = 'e';
        *out++ = exponent < 0 ? '-' : '+';
        int magnitude_of_exponent = exponent < 0 ? -exponent : exponent;
        *out++ = (char)('0' + magnitude_of_exponent / 100);
        *out++ = (char)('0' + magnitude_of_exponent / 10 % 10);
        *out++ = (char)('0' + magnitude_of_exponent % 10);
    }
    return out;
}

} // namespace

void integer_to_digits(long double x) {
    unsigned char packed[10];
    __asm__ __volatile__("fbstp %0" : "=m"(packed) : "t"(x) : "st");
    for (int byte = 8, at = 0; byte >= 0; --byte) {
        digit_text[at++] = (char)('0' + (packed[byte] >> 4));
        digit_text[at++] = (char)('0' + (packed[byte] & 15));
    }
}

void format_real(double value, char* destination) {
    char* out = destination;
    uint64_t bits = __builtin_bit_cast(uint64_t, value);
    if ((bits << 1) == 0) {
        append_text(out, "0")[0] = 0;
        return;
    }
    bool negative = bits >> 63;
    if (((bits >> 52) & 0x7FF) == 0x7FF) {
        bool is_nan = bits & ((1ull << 52) - 1);
        append_text(out, is_nan ? "nan" : negative ? "-inf" : "inf")[0] = 0;
        return;
    }
    if (negative)
        *out++ = '-';

    x87_clear_exceptions();
    const unsigned short caller_control_word = x87_get_control_word();
    x87_set_control_word(x87_conversion_control_word);
    long double magnitude = negative ? -value : value;
    int exponent = decimal_exponent_estimate(binary_exponent(bits));
    if (exponent >= 0 && exponent <= 15 && is_whole(magnitude))
        out = write_whole_number(out, magnitude, exponent);
    else
        out = write_seven_digits(out, magnitude, exponent);
    *out = 0;
    x87_set_control_word(caller_control_word);
}

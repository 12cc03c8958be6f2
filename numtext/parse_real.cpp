#include "numtext/numtext.h"
#include "numtext/pow10_tables.h"
#include "platform/x87.h"

namespace {

// An exponent this large already overflows any mantissa a text can hold; accumulating stops
// there so that no text can overflow the integer.
const long long saturated_exponent = 1000000000;

// Kept opaque so that the compiler cannot drop the first product: 1 * entry must be rounded.
volatile long double unit_factor = 1;

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

long double scale_by_pow10(long double x, int n) {
    unsigned magnitude = n < 0 ? 0u - (unsigned)n : (unsigned)n;
    long double factor = unit_factor;
    if (magnitude & 15)
        factor = factor * pow10_low[(magnitude & 15) - 1];
    if ((magnitude >> 4) & 15)
        factor = factor * pow10_mid[((magnitude >> 4) & 15) - 1];
    if ((magnitude >> 8) & 31)
        factor = factor * pow10_high[((magnitude >> 8) & 31) - 1];
    return n < 0 ? x / factor : x * factor;
}

const char* parse_real(const char* text, double* destination) {
    const char* at = text;
    bool negative = false;
    if (*at == '+') {
        ++at;
    } else if (*at == '-') {
        negative = true;
        ++at;
    }
    if (!*at)
        return at; // nothing to read: the destination and the unit stay as they are

    const unsigned short caller_control_word = x87_get_control_word();
    x87_set_control_word(x87_conversion_control_word);
    x87_clear_exceptions();

    long double mantissa = 0;
    long long digit_count = 0;
    long long point_at = -1;
    for (;; ++at) {
        if (is_digit(*at)) {
            mantissa = mantissa * 10.0 + (long double)(*at - '0');
            ++digit_count;
        } else if (*at == '.') {
            point_at = digit_count; // the last point counts
        } else {
            break;
        }
    }

    long long exponent = 0;
    if (*at == 'e' || *at == 'E') {
        ++at;
        bool negative_exponent = false;
        if (*at == '+') {
            ++at;
        } else if (*at == '-') {
            negative_exponent = true;
            ++at;
        }
        for (; is_digit(*at); ++at) {
            if (exponent < saturated_exponent)
                exponent = exponent * 10 + (*at - '0');
        }
        if (negative_exponent)
            exponent = -exponent;
    }
    if (point_at >= 0)
        exponent -= digit_count - point_at;

    long double result;
    if (mantissa == 0 || exponent < -max_decimal_exponent)
        result = 0;
    else if (exponent > max_decimal_exponent)
        result = mantissa * pow10_high[17] * pow10_high[17]; // overflows to infinity
    else
        result = scale_by_pow10(mantissa, (int)exponent);
    if (negative)
        result = -result;
    *destination = (double)result;

    x87_set_control_word(caller_control_word);
    return at;
}

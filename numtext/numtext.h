// Decimal text to double and back, computed on the x87 at 53-bit precision so that every program
// reads and writes numbers identically, bit for bit, whatever the compiler or C runtime does.
#pragma once

// Shared text buffers: 511 characters and the NUL each.
const unsigned text_buffer_size = 512;
extern char scratch_text[text_buffer_size]; // each text read from an edit; most formatted results
extern char number_text[text_buffer_size];  // Task 1: the text of X of the row being built
extern char results_text[text_buffer_size]; // Task 1: the rows of the table

// Room that format_real needs: a sign, 16 digits and the NUL.
const unsigned formatted_size = 18;

// Reads a number from text (sign, digits with at most one counting point, optional exponent).
// Writes *destination unless the text holds no digit position at all ("", "+", "-").
// Returns the first character not consumed.
const char* parse_real(const char* text, double* destination);

// Writes value as decimal text (at most 17 characters and the NUL) into destination.
void format_real(double value, char* destination);

// x * 10^n at 53-bit precision with the extended exponent range; |n| <= 4863.
long double scale_by_pow10(long double x, int n);

// Rounds x (0 <= x < 10^18) to an integer, ties to even, and writes its 18 decimal digits,
// most significant first and without a terminator, into digit_text.
void integer_to_digits(long double x);
extern char digit_text[18];

// Number of bytes before the NUL.
unsigned string_length(const char* text);

// Copies text without its NUL to `out`; returns where the copy ends.
char* append_text(char* out, const char* text);

// Reach of the power-of-ten tables: 15 + 240 + 4608.
const int max_decimal_exponent = 4863;

// What the three task operations share: reading numbers from edits, showing results, and the
// comparison rule.
#pragma once

#include "platform/winsys.h"

// Reads the control's text (at most 511 characters) into scratch_text and parses it. A text with
// no number in it reads as 0.
double read_number(HWND control);

// Formats value into scratch_text and shows it in the control.
void show_number(HWND control, double value);

// Shows an information box with the platform's default title.
void show_information(HWND owner, const char* text);

// Comparisons: an unordered pair (a NaN) counts as equal and as below, never as above.
inline bool is_above(double a, double b) {
    return a > b;
}
inline bool is_below(double a, double b) {
    return !(a >= b);
}
inline bool is_equal(double a, double b) {
    return !(a < b) && !(a > b);
}

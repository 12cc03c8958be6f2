// What both builds of variant 4 compute: they differ only in captions, texts and layout.
#pragma once

#include "tasks/common/task_io.h"
#include "variants/profile.h"

namespace variant4 {

// The ratio uses n + 1 and n + 2, one step ahead of the textbook ln(1 + x) series.
inline long double first_term(long double x) {
    return x;
}
inline long double numerator(long double n, long double x) {
    return -((1.0L + n) * x);
}
inline long double denominator(long double n, long double) {
    return 2.0L + n;
}

inline constexpr SeriesSpec series = {.first_term = first_term,
                                      .n0 = 1,
                                      .numerator = numerator,
                                      .denominator = denominator,
                                      .final_step = nullptr};

inline long double above(long double a, long double b) {
    return ((52.0L * b) / a) + b;
}
inline long double below(long double a, long double b) {
    return (a - 5.0L) / b;
}

// Sum of the cubes of the negative elements not below C * D.
inline long double threshold(long double c, long double d) {
    return c * d;
}
inline bool selects(double x, double, double, double t) {
    return is_below(x, 0) && !is_below(x, t);
}
inline long double add_cube(long double sum, long double x) {
    return sum + ((x * x) * x);
}

} // namespace variant4

// Task 1's per-row sum, one loop for every deliverable. Each profile instantiates it with its own
// formulas, so that they are inlined: called through pointers, each term cost several times its
// arithmetic.
#pragma once

#include "platform/x87.h"
#include "tasks/common/task_io.h"
#include "tasks/tabulation/tabulation.h"
#include "variants/profile.h"

// The deliverable's SeriesSpec is a constant, so each call through its pointers is known when the
// loop is compiled. Every quantity is stored as a double after each step; the double rounding
// this implies is the intended arithmetic.
template <const SeriesSpec& series> double series_sum(double x, double term_limit) {
    double term, sum, n = series.n0, numerator_value, denominator_value, ratio;
    x87_store_double(term, series.first_term(x));
    sum = term;
    for (unsigned terms_added = 0; terms_added < max_series_terms; ++terms_added) {
        x87_store_double(numerator_value, series.numerator(n, x));
        x87_store_double(denominator_value, series.denominator(n, x));
        x87_store_double(ratio, (long double)numerator_value / denominator_value);
        // The next term goes straight into T, which is not read again: a copy from a variable
        // of its own cost every term a second trip through memory.
        x87_store_double(term, (long double)term * ratio);
        if (is_above(n, term_limit))
            break; // the last term computed is not added
        x87_store_double(sum, (long double)sum + term);
        x87_store_double(n, (long double)n + 1.0);
    }
    if constexpr (series.final_step != nullptr)
        x87_store_double(sum, series.final_step(sum));
    return sum;
}

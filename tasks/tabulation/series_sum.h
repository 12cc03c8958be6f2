// Task 1's per-row sum, one loop for every deliverable. Each profile instantiates it with its own
// formulas, so that they are inlined: called through pointers, each term cost several times its
// arithmetic.
#pragma once

#include "platform/x87.h"
#include "tasks/common/task_io.h"
#include "tasks/tabulation/tabulation.h"

// T and S start at first_term(X), n at n0; each further term is T * A / B, with A and B the
// numerator and denominator of (n, X); final_step, if any, turns the last S into the one shown.
// Every formula computes in the 80-bit format. Every quantity is stored as a double after each
// step; the double rounding this implies is the intended arithmetic.
template <long double (*first_term)(long double x), int n0,
          long double (*numerator)(long double n, long double x),
          long double (*denominator)(long double n, long double x),
          long double (*final_step)(long double s) = nullptr>
double series_sum(double x, double term_limit) {
    double term, sum, n = n0, numerator_value, denominator_value, ratio;
    x87_store_double(term, first_term(x));
    sum = term;
    for (unsigned terms_added = 0; terms_added < max_series_terms; ++terms_added) {
        x87_store_double(numerator_value, numerator(n, x));
        x87_store_double(denominator_value, denominator(n, x));
        x87_store_double(ratio, (long double)numerator_value / denominator_value);
        // The next term goes straight into T, which is not read again: a copy from a variable
        // of its own cost every term a second trip through memory.
        x87_store_double(term, (long double)term * ratio);
        if (is_above(n, term_limit))
            break; // the last term computed is not added
        x87_store_double(sum, (long double)sum + term);
        x87_store_double(n, (long double)n + 1.0);
    }
    if constexpr (final_step != nullptr)
        x87_store_double(sum, final_step(sum));
    return sum;
}

// The shared loop as it was, unchanged: each quantity rounded to a double by an assignment.
#include "tests/support/plain_series_sum.h"

#include "tasks/common/task_io.h"
#include "tasks/tabulation/tabulation.h"

// The bound of a million terms after the first, written apart from the programs' own constant.
const unsigned plain_max_terms = 1000000;

double plain_series_sum(const SeriesSpec& series, double x, double term_limit) {
    double term = series.first_term(x);
    double sum = term;
    double n = series.n0;
    for (unsigned terms_added = 0; terms_added < plain_max_terms; ++terms_added) {
        double numerator = series.numerator(n, x);
        double denominator = series.denominator(n, x);
        double ratio = (long double)numerator / denominator;
        double next_term = (long double)term * ratio;
        if (is_above(n, term_limit))
            break;
        term = next_term;
        sum = (long double)sum + next_term;
        n = (long double)n + 1.0;
    }
    if (series.final_step)
        sum = series.final_step(sum);
    return sum;
}

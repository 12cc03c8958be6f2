// Task 1's per-row sum as it was when every formula was called through a pointer of the profile:
// the plain loop that the inlined sums must match bit for bit, and the "before" of the benchmark.
// Its callers include the profile's source (PROFILE_SOURCE) to reach the deliverable's `series`.
#pragma once

#include "variants/profile.h"

// Expects the x87 state that the Task 1 walk sets (x87_reset).
double plain_series_sum(const SeriesSpec& series, double x, double term_limit);

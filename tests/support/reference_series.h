// Task 1's per-row sum as it was when every formula was called through a pointer of the profile:
// the reference that the inlined sums must match bit for bit, and the "before" of the benchmark.
#pragma once

#include "variants/profile.h"

// The series of a deliverable ("practice_v4", ...), or null for an unknown name.
const SeriesSpec* reference_series(const char* deliverable);

// Expects the x87 state that the Task 1 walk sets (x87_reset).
double reference_series_sum(const SeriesSpec& series, double x, double term_limit);

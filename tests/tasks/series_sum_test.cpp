// Task 1's per-row sum, the deliverable's formulas inlined into the shared loop, against the plain
// loop that called the same formulas through their pointers: the same bits for every X and term
// limit, including the sums that overflow, vanish or turn NaN.
#include "platform/x87.h"
#include "tests/support/plain_series_sum.h"
#include "variants/profile.h"

#include PROFILE_SOURCE // the deliverable's profile and its Task 1 `series`

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

struct SumCase {
    double x;
    double term_limit;
};

double random_unit(std::mt19937_64& random) { // [0, 1)
    return (random() >> 11) * 0x1p-53;
}

// Signed X: inside (-1, 1), within an ulp to a few thousandths of 1, above 1 up to 1000,
// anywhere in the double range, or any bit pattern (subnormals, infinities, NaNs).
double random_x(std::mt19937_64& random) {
    double sign = random() % 2 ? -1.0 : 1.0;
    switch (random() % 5) {
    case 0: return sign * random_unit(random);
    case 1: {
        double offset = std::ldexp(1.0 + random_unit(random), -(int)(9 + random() % 44));
        return sign * (random() % 2 ? 1.0 + offset : 1.0 - offset);
    }
    case 2: return sign * std::pow(10.0, 3 * random_unit(random));
    case 3: return sign * std::pow(10.0, -320 + 628 * random_unit(random));
    default: {
        uint64_t bits = random();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        return x;
    }
    }
}

// Mostly short sums: whole and fractional limits below 100, a few negative; one in 400 runs
// towards the bound with up to a million terms. Long sums are few because the test also runs
// under an emulator.
double random_term_limit(std::mt19937_64& random) {
    unsigned shape = random() % 400;
    if (shape == 0)
        return std::floor(std::pow(10.0, 6 * random_unit(random)));
    if (shape < 40)
        return -3 + 100 * random_unit(random);
    return (double)(random() % 100);
}

std::vector<SumCase> sum_cases() {
    const double below_one = std::nextafter(1.0, 0.0), above_one = std::nextafter(1.0, 2.0);
    const double special_x[] = {0.0, -0.0, 1.0,    -1.0,    below_one, -below_one, above_one,
                                0.5, 2.0,  1e-310, DBL_MAX, INFINITY,  -INFINITY,  NAN};
    const double short_limits[] = {0, -1, 1, 2, 5.5, 30, -INFINITY};
    std::vector<SumCase> cases;
    for (double x : special_x)
        for (double limit : short_limits)
            cases.push_back({x, limit});
    // Limits at and beyond the bound. Near |X| = 1 most series still change with every term
    // there, so a term too many or too few shows.
    cases.insert(cases.end(),
                 {{-1.0, 1e6}, {1.0, 1e300}, {below_one, INFINITY}, {-above_one, NAN}});
    std::mt19937_64 random(12);
    for (int i = 0; i < 4000; ++i)
        cases.push_back({random_x(random), random_term_limit(random)});
    return cases;
}

uint64_t bits_of(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

TEST(SeriesSum, SameBitsAsThePlainLoop) {
    std::vector<SumCase> cases = sum_cases();
    unsigned mismatches = 0;
    for (const SumCase& c : cases) {
        x87_reset(); // as the walk does
        double expected = plain_series_sum(series, c.x, c.term_limit);
        x87_reset();
        double actual = profile.tabulation.series_sum(c.x, c.term_limit);
        if (bits_of(actual) != bits_of(expected) && ++mismatches <= 10)
            ADD_FAILURE() << std::hexfloat << "X " << c.x << ", term limit " << c.term_limit << ": "
                          << actual << ", expected " << expected;
    }
    EXPECT_EQ(mismatches, 0u) << "of " << cases.size() << " sums";
    RecordProperty("sums", (int)cases.size());
}

} // namespace

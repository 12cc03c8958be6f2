#pragma once

// Powers of ten in the 80-bit format: low 10^1..10^15, mid 10^16..10^240 by 16, high
// 10^256..10^4608 by 256. Entry k - 1 is the factor for index k.
extern const long double pow10_low[15];
extern const long double pow10_mid[15];
extern const long double pow10_high[18];

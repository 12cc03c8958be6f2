// What both fuzz targets check around a conversion: the caller's x87 state survives the call, and
// a broken property stops the run with a readable account of the input.
#pragma once

#include "platform/x87.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Control words a caller may have in force: every precision and rounding setting, all exceptions
// masked (an unmasked exception would trap in the caller, not in the conversion).
const unsigned short fuzz_control_words[] = {0x037F, 0x027F, 0x007F, 0x077F, 0x0B7F, 0x0F7F,
                                             0x0C7F, 0x0E7F, 0x067F, 0x0A7F, 0x047F, 0x087F};
const unsigned fuzz_control_word_count = sizeof fuzz_control_words / sizeof fuzz_control_words[0];

// Picks the caller's control word from the input itself, so that a saved input reproduces.
inline unsigned short control_word_for(const uint8_t* data, size_t size, unsigned salt) {
    uint32_t hash = 2166136261u ^ salt;
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    return fuzz_control_words[hash % fuzz_control_word_count];
}

// The parts of the x87 state a conversion must hand back unchanged.
struct X87State {
    unsigned short control_word;
    unsigned short stack_top; // TOP field of the status word
    unsigned short tag_word;
};

inline X87State x87_state() {
    // fnstenv masks all exceptions as a side effect; fldenv puts the saved environment back.
    unsigned short environment[14];
    __asm__ __volatile__("fnstenv %0\n\tfldenv %0" : "=m"(environment) : : "memory");
    return {environment[0], (unsigned short)((environment[2] >> 11) & 7), environment[4]};
}

[[noreturn]] inline void fuzz_failure(const char* property, const char* details) {
    x87_set_control_word(x87_extended_control_word);
    std::fprintf(stderr, "\n*** property broken: %s\n%s\n", property, details);
    std::fflush(stderr);
    std::abort();
}

// Runs `call` under `control_word` and checks that the x87 state it leaves is the one it found.
template <typename Call>
void call_under_control_word(unsigned short control_word, const char* what, Call call) {
    x87_set_control_word(control_word);
    X87State before = x87_state();
    call();
    X87State after = x87_state();
    x87_set_control_word(x87_extended_control_word);
    if (after.control_word != before.control_word || after.stack_top != before.stack_top ||
        after.tag_word != before.tag_word) {
        char details[200];
        std::snprintf(details, sizeof details,
                      "%s: control word %04X -> %04X, stack top %u -> %u, tag word %04X -> %04X",
                      what, before.control_word, after.control_word, before.stack_top,
                      after.stack_top, before.tag_word, after.tag_word);
        fuzz_failure("the caller's x87 state survives the conversion", details);
    }
}

inline uint64_t bits_of(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline double double_of(uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Whether `actual` is a double that rounding some value within `relative_error` of `exact` can
// give. Rounding is monotonic, so such a double lies between the roundings of the interval's two
// ends. This holds unchanged in the denormal range and at its boundaries to zero and to the
// smallest normal, where a double keeps fewer than 53 significant bits and a relative tolerance
// alone says nothing. The sign is that of `exact` also when the rounding gives zero.
inline bool rounds_within(double actual, long double exact, long double relative_error) {
    if (std::signbit(actual) != std::signbit(exact))
        return false;
    long double magnitude = std::fabs(exact);
    // The ends carry the 64-bit rounding of `exact` and of their own products.
    long double widened = relative_error + 0x1p-60L;
    double low = (double)(magnitude * (1 - widened));
    double high = (double)(magnitude * (1 + widened));
    double actual_magnitude = std::fabs(actual);
    return actual_magnitude >= low && actual_magnitude <= high;
}

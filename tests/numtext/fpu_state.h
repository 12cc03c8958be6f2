// What a conversion may leave behind in the x87 unit: the control word, the exception flags and
// the register stack, read through fnstenv.
#pragma once

#include "platform/x87.h"

#include <stdint.h>

struct FpuState {
    uint16_t control_word;
    uint16_t status_word;
    uint16_t tag_word; // two bits a register, 11 = empty
};

inline FpuState fpu_state() {
    uint16_t environment[14]; // the 28-byte protected-mode layout, on x86-64 as well
    __asm__ __volatile__("fnstenv %0" : "=m"(environment));
    // fnstenv masks every exception afterwards: put the control word back.
    __asm__ __volatile__("fldcw %0" : : "m"(environment[0]));
    return {environment[0], environment[2], environment[4]};
}

const uint16_t all_registers_empty = 0xFFFF;
const uint16_t zero_divide_flag = 0x0004;
const uint16_t stack_fault_flags = 0x0041; // invalid operation and stack fault
const uint16_t stack_top_field = 0x3800;

// Leaves the zero-divide flag pending, as a masked 1/0 does.
inline void raise_zero_divide_flag() {
    __asm__ __volatile__("fldz\n\tfld1\n\tfdivp\n\tfstp %%st(0)" : : : "st", "st(1)");
}

// Caller control words to run under: extended and double precision, single precision, each
// rounding mode; exceptions always masked.
const uint16_t caller_control_words[] = {0x037F, 0x027F, 0x007F, 0x0C7F, 0x077F, 0x0B7F};

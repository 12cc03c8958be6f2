// x87 control-word access and stores. Inline asm rather than <fenv.h>: the Windows programs have no
// C runtime, and the fenv precision control is not portable.
#pragma once

// 53-bit precision, round to nearest, all exceptions masked: the setting of the conversions.
const unsigned short x87_conversion_control_word = 0x027F;
// 64-bit precision, round to nearest, all exceptions masked: what fninit gives.
const unsigned short x87_extended_control_word = 0x037F;

inline unsigned short x87_get_control_word() {
    unsigned short word;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}

// The memory clobber keeps stores made under the old setting (a result rounded to double) from
// moving past the switch.
inline void x87_set_control_word(unsigned short word) {
    __asm__ __volatile__("fldcw %0" : : "m"(word) : "memory");
}

inline void x87_clear_exceptions() {
    __asm__ __volatile__("fnclex");
}

// What every task operation does before it computes: the thread may have started at 53-bit
// precision (Windows does), so nothing may rely on the start-up setting.
inline void x87_reset() {
    __asm__ __volatile__("fninit"
                         :
                         :
                         : "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)",
                           "st(7)");
}

// Rounds an 80-bit value to a double by storing it into `to`, as an assignment does. An assignment
// goes through one stack slot that g++ shares between all such conversions; in a loop of them the
// stores and reloads then hold each other up, up to three times slower here than with memory of
// each quantity's own.
inline void x87_store_double(double& to, long double value) {
    __asm__("fstpl %0" : "=m"(to) : "t"(value) : "st");
}

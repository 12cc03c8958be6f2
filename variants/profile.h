// The data of one deliverable. The shared code reads `profile`; each program links exactly one
// variants/practice_*.cpp, which defines it with designated initialisers, every field named.
#pragma once

#include "platform/winsys.h"

// One child control, created by one CreateWindowExA call in the order of its table.
struct ControlSpec {
    const char* class_name;
    const char* text;
    DWORD style;
    DWORD ex_style;
    int x, y, width, height;
    int id;
    HWND* handle; // the global that keeps the control's handle, or null
};
typedef ControlSpec MainControlSpec; // a control of the main window
typedef ControlSpec TaskControlSpec; // a control of a task window

struct ControlTable {
    const ControlSpec* rows;
    int count;
};

template <int count> constexpr ControlTable control_table(const ControlSpec (&rows)[count]) {
    return {rows, count};
}

struct MainWindowSpec {
    const char* caption;
    int x, y, width, height;
};

struct TaskWindowSpec {
    int launch_id;
    const char* class_name;
    const char* caption;
    int x, y, width, height;
};

enum AlreadyOpenKind { flash_and_focus, information_box };
struct AlreadyOpenNotice {
    AlreadyOpenKind kind;
    const char* text; // information_box only
};

// Task 1 series: T and S start at first_term(X), n at n0; each further term is T * A / B.
// Every function computes in the 80-bit format; the sum rounds each result to a double.
struct SeriesSpec {
    long double (*first_term)(long double x);
    double n0;
    long double (*numerator)(long double n, long double x);
    long double (*denominator)(long double n, long double x);
    long double (*final_step)(long double s); // null: S is shown as summed
};

struct TabulationProfile {
    ControlTable controls;
    int execute_id;
    // S for one X: series_sum<the deliverable's SeriesSpec> (tasks/tabulation/series_sum.h), the
    // one loop with the formulas inlined.
    double (*series_sum)(double x, double term_limit);
    const char* row_label;
    bool keeps_earlier_rows;
};

struct ExpressionProfile {
    ControlTable controls;
    int execute_id;
    double equal_value;                                 // X when A equals B
    long double (*above)(long double a, long double b); // X when A is above B
    long double (*below)(long double a, long double b); // X when A is below B
    // When set, a zero divisor (A above B: A; A below B: B) gives -1 and a message instead.
    bool guards_zero_divisor;
};

struct ArrayProfile {
    ControlTable controls;
    int add_id;
    int execute_id;
    const char* added_text; // confirmation after each addition, or null
    bool guards_zero_c;     // a zero C gives -1 and a message instead of a query
    long double (*threshold)(long double c, long double d); // null: no threshold
    // The deliverable's tests on an element, given C, D and the stored threshold.
    bool (*selects)(double x, double c, double d, double threshold);
    double aggregate_start;
    long double (*accumulate)(long double aggregate, long double x);
    bool counts_by_sign; // three counts into the negative, zero and positive edits instead
};

struct VariantProfile {
    MainWindowSpec main_window;
    ControlTable main_controls;
    TaskWindowSpec task_windows[3]; // Task 1, Task 2, Task 3
    AlreadyOpenNotice already_open;
    int exit_id;  // 0: no exit button
    int about_id; // 0: no About button
    const char* about_text;
    TabulationProfile tabulation;
    ExpressionProfile expression;
    ArrayProfile array;
};

// Defined constexpr, with constexpr control tables, so that variants/profile_check.cpp can check
// it while the program builds.
extern const VariantProfile profile;

// Text shown when a divisor guard fires and when the store is full.
#define DIVISION_BY_ZERO_TEXT "Ділення на нуль!"
#define STORE_FULL_TEXT "Масив заповнено!"

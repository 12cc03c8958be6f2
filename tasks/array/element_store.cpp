#include "tasks/array/array.h"

#include "platform/x87.h"
#include "shell/shell.h"
#include "tasks/common/task_io.h"
#include "variants/profile.h"

double element_store[element_capacity];
unsigned short element_count;

HWND task3_element_edit;
HWND task3_c_edit;
HWND task3_d_edit;
HWND task3_result_edit;
HWND task3_negative_edit;
HWND task3_zero_edit;
HWND task3_positive_edit;
HWND task3_add_button;
HWND task3_execute_button;
HWND task3_statement;

void add_element() {
    if (element_count >= element_capacity) {
        show_information(window3_handle, STORE_FULL_TEXT);
        return;
    }
    element_store[element_count] = read_number(task3_element_edit);
    ++element_count;
    if (profile.array.added_text)
        show_information(window3_handle, profile.array.added_text);
}

namespace {

void count_by_sign(double c, double d, double threshold) {
    const ArrayProfile& array = profile.array;
    double negatives = 0, zeros = 0, positives = 0;
    for (unsigned i = 0; i < element_count; ++i) {
        double x = element_store[i];
        if (!array.selects(x, c, d, threshold))
            continue;
        if (is_above(x, 0))
            positives = positives + 1;
        else if (is_equal(x, 0))
            zeros = zeros + 1;
        else
            negatives = negatives + 1;
    }
    show_number(task3_negative_edit, negatives);
    show_number(task3_zero_edit, zeros);
    show_number(task3_positive_edit, positives);
}

} // namespace

void query_elements() {
    const ArrayProfile& array = profile.array;
    double c = read_number(task3_c_edit);
    double d = read_number(task3_d_edit);

    x87_reset();
    if (array.guards_zero_c && is_equal(c, 0)) {
        show_number(task3_result_edit, -1);
        show_information(window3_handle, DIVISION_BY_ZERO_TEXT);
        return;
    }
    double threshold = array.threshold ? (double)array.threshold(c, d) : 0;
    if (array.counts_by_sign) {
        count_by_sign(c, d, threshold);
        return;
    }
    double aggregate = array.aggregate_start;
    for (unsigned i = 0; i < element_count; ++i) {
        double x = element_store[i];
        if (array.selects(x, c, d, threshold))
            aggregate = array.accumulate(aggregate, x);
    }
    show_number(task3_result_edit, aggregate);
}

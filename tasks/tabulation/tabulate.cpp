#include "tasks/tabulation/tabulation.h"

#include "numtext/numtext.h"
#include "platform/x87.h"
#include "tasks/common/task_io.h"
#include "variants/profile.h"

HWND task1_xstart_edit;
HWND task1_xend_edit;
HWND task1_dx_edit;
HWND task1_eps_edit;
HWND task1_result_edit;

namespace {

unsigned append_text(unsigned at, const char* text) {
    while (*text)
        results_text[at++] = *text++;
    return at;
}

} // namespace

bool append_table_row() {
    const char* label = profile.tabulation.row_label;
    unsigned end = string_length(results_text);
    unsigned row_length =
        string_length(label) + string_length(number_text) + string_length(scratch_text) + 4;
    if (end + row_length > text_buffer_size - 1)
        return false;
    end = append_text(end, label);
    end = append_text(end, number_text);
    end = append_text(end, "\r\n");
    end = append_text(end, scratch_text);
    end = append_text(end, "\r\n");
    results_text[end] = 0;
    return true;
}

void tabulate() {
    double x_start = read_number(task1_xstart_edit);
    double x_end = read_number(task1_xend_edit);
    double step = read_number(task1_dx_edit);
    double term_limit = read_number(task1_eps_edit);
    if (!profile.tabulation.keeps_earlier_rows)
        results_text[0] = 0;

    x87_reset();
    double x = x_start;
    while (!is_above(x, x_end)) {
        double sum = profile.tabulation.series_sum(x, term_limit);
        format_real(sum, scratch_text);
        format_real(x, number_text);
        if (!append_table_row())
            break; // the table is full
        double next_x = (long double)x + step;
        if (!(next_x > x))
            break; // a step that does not move X forward would never end the walk
        x = next_x;
    }
    SetWindowTextA(task1_result_edit, results_text);
}

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

bool append_table_row() {
    const char* label = profile.tabulation.row_label;
    unsigned end = string_length(results_text);
    unsigned row_length =
        string_length(label) + string_length(number_text) + string_length(scratch_text) + 4;
    if (end + row_length > text_buffer_size - 1)
        return false;
    char* out = append_text(results_text + end, label);
    out = append_text(out, number_text);
    out = append_text(out, "\r\n");
    out = append_text(out, scratch_text);
    out = append_text(out, "\r\n");
    *out = 0;
    return true;
}

namespace {

// Removes the first row (label X CR LF S CR LF) of results_text; returns its length.
unsigned drop_first_row() {
    unsigned row_end = 0;
    for (int line_ends = 0; line_ends < 2 && results_text[row_end]; ++row_end) {
        if (results_text[row_end] == '\n')
            ++line_ends;
    }
    unsigned at = 0;
    while ((results_text[at] = results_text[at + row_end]))
        ++at;
    return row_end;
}

// Rows left by earlier runs give way, oldest first, so that every run shows its own rows. False
// when the row does not fit after this run's own rows alone: the table is full.
bool append_row_making_room(unsigned& earlier_rows_length) {
    while (!append_table_row()) {
        if (earlier_rows_length == 0)
            return false;
        unsigned dropped = drop_first_row();
        earlier_rows_length = dropped < earlier_rows_length ? earlier_rows_length - dropped : 0;
    }
    return true;
}

} // namespace

void tabulate() {
    double x_start = read_number(task1_xstart_edit);
    double x_end = read_number(task1_xend_edit);
    double step = read_number(task1_dx_edit);
    double term_limit = read_number(task1_eps_edit);
    if (!profile.tabulation.keeps_earlier_rows)
        results_text[0] = 0;
    unsigned earlier_rows_length = string_length(results_text);

    x87_reset();
    double x = x_start;
    while (!is_above(x, x_end)) {
        double sum = profile.tabulation.series_sum(x, term_limit);
        format_real(sum, scratch_text);
        format_real(x, number_text);
        if (!append_row_making_room(earlier_rows_length))
            break;
        double next_x = (long double)x + step;
        if (!(next_x > x))
            break; // a step that does not move X forward would never end the walk
        x = next_x;
    }
    SetWindowTextA(task1_result_edit, results_text);
}

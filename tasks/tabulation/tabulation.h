// Task 1: the series tabulation and its window.
#pragma once

#include "platform/winsys.h"

extern HWND task1_xstart_edit;
extern HWND task1_xend_edit;
extern HWND task1_dx_edit;
extern HWND task1_eps_edit;
extern HWND task1_result_edit;

// Terms summed after the first at most, so that a huge, infinite or NaN limit still ends.
const unsigned max_series_terms = 1000000;

void tabulate();
// Appends the row "label X CR LF S CR LF" (X from number_text, S from scratch_text) to
// results_text. A row that would not fit whole is not written; returns whether it was.
bool append_table_row();
LRESULT CALLBACK task1_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

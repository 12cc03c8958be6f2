// Task 1: the series tabulation and its window.
#pragma once

#include "platform/winsys.h"

extern HWND task1_xstart_edit;
extern HWND task1_xend_edit;
extern HWND task1_dx_edit;
extern HWND task1_eps_edit;
extern HWND task1_result_edit;

// Upper bound on the terms after the first, so that a huge, infinite or NaN limit still ends.
const double max_series_terms = 1000000.0;

void tabulate();
void append_table_row();
LRESULT CALLBACK task1_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Task 2: the piecewise expression and its window.
#pragma once

#include "platform/winsys.h"

extern HWND task2_a_edit;
extern HWND task2_b_edit;
extern HWND task2_result_edit;
extern HWND task2_execute_button;
extern HWND task2_statement;

void evaluate_expression();
LRESULT CALLBACK task2_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

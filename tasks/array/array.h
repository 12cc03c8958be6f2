// Task 3: the element store, its queries and its window.
#pragma once

#include "platform/winsys.h"

const unsigned element_capacity = 100;
extern double element_store[element_capacity];
extern unsigned short element_count;

extern HWND task3_element_edit;
extern HWND task3_c_edit;
extern HWND task3_d_edit;
extern HWND task3_result_edit;
extern HWND task3_negative_edit;
extern HWND task3_zero_edit;
extern HWND task3_positive_edit;
extern HWND task3_add_button;
extern HWND task3_execute_button;
extern HWND task3_statement;

void add_element();
void query_elements();
LRESULT CALLBACK task3_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The application shell: start, the four window classes, the message loop and the main window.
#pragma once

#include "platform/winsys.h"

extern HINSTANCE module_handle;

// Open flags of the task windows: set by the main window after creating one, cleared by the
// task window's own WM_DESTROY.
extern unsigned char window1_open;
extern unsigned char window2_open;
extern unsigned char window3_open;
// The latest task windows; stale once the matching flag is 0.
extern HWND window1_handle;
extern HWND window2_handle;
extern HWND window3_handle;

extern "C" void program_entry(void);
int app_main(HINSTANCE instance);
LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

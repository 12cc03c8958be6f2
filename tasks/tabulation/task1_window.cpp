#include "tasks/tabulation/tabulation.h"

#include "shell/control_table.h"
#include "shell/shell.h"
#include "variants/profile.h"

LRESULT CALLBACK task1_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE: create_controls(window, profile.tabulation.controls); return 0;
    case WM_DESTROY: window1_open = 0; return 0;
    case WM_COMMAND:
        if (is_button_click(wparam, lparam, profile.tabulation.execute_id))
            tabulate();
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

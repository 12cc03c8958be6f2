#include "tasks/expression/expression.h"

#include "shell/control_table.h"
#include "shell/shell.h"
#include "variants/profile.h"

LRESULT CALLBACK task2_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_DESTROY: window2_open = 0; return 0;
    case WM_CREATE: create_controls(window, profile.expression.controls); return 0;
    case WM_COMMAND:
        if (is_button_click(wparam, lparam, profile.expression.execute_id))
            evaluate_expression();
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

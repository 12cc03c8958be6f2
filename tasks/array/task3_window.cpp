#include "tasks/array/array.h"

#include "shell/control_table.h"
#include "shell/shell.h"
#include "variants/profile.h"

LRESULT CALLBACK task3_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_DESTROY: window3_open = 0; return 0; // the elements stay until the next opening
    case WM_CREATE: create_controls(window, profile.array.controls); return 0;
    case WM_COMMAND:
        if (is_button_click(wparam, lparam, profile.array.add_id))
            add_element();
        else if (is_button_click(wparam, lparam, profile.array.execute_id))
            query_elements();
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

#include "shell/control_table.h"

#include "shell/shell.h"

void create_controls(HWND parent, ControlTable table) {
    for (int i = 0; i < table.count; ++i) {
        const ControlSpec& row = table.rows[i];
        HWND control = CreateWindowExA(row.ex_style, row.class_name, row.text, row.style, row.x,
                                       row.y, row.width, row.height, parent,
                                       (HMENU)(UINT_PTR)row.id, module_handle, 0);
        if (row.handle)
            *row.handle = control;
    }
}

bool is_button_click(WPARAM wparam, LPARAM lparam, int button_id) {
    // Menus and accelerators send no control handle; edits notify with non-zero codes.
    return lparam != 0 && LOWORD(wparam) == button_id && HIWORD(wparam) == BN_CLICKED;
}

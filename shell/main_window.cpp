#include "shell/shell.h"

#include "shell/control_table.h"
#include "tasks/array/array.h"
#include "tasks/common/task_io.h"
#include "variants/profile.h"

unsigned char window1_open;
unsigned char window2_open;
unsigned char window3_open;
HWND window1_handle;
HWND window2_handle;
HWND window3_handle;

namespace {

struct TaskSlot {
    unsigned char* open;
    HWND* handle;
};

const TaskSlot task_slots[3] = {
    {&window1_open, &window1_handle},
    {&window2_open, &window2_handle},
    {&window3_open, &window3_handle},
};

const int task3 = 2;

void give_already_open_notice(HWND main_window, HWND open_window) {
    const AlreadyOpenNotice& notice = profile.already_open;
    if (notice.kind == flash_and_focus) {
        FlashWindow(open_window, TRUE);
        SetFocus(open_window);
    } else {
        show_information(main_window, notice.text);
    }
}

void launch_task(HWND main_window, int task) {
    const TaskSlot& slot = task_slots[task];
    if (*slot.open) {
        give_already_open_notice(main_window, *slot.handle);
        return;
    }
    const TaskWindowSpec& spec = profile.task_windows[task];
    // A parent without WS_CHILD makes the main window the owner: the task window stays above
    // it and is destroyed with it.
    HWND created = CreateWindowExA(
        0, spec.class_name, spec.caption, WS_OVERLAPPED | WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX,
        spec.x, spec.y, spec.width, spec.height, main_window, 0, module_handle, 0);
    if (!created)
        return; // the flag stays 0, so the next click tries again
    *slot.handle = created;
    *slot.open = 1;
    if (task == task3)
        element_count = 0;
}

void on_command(HWND main_window, WPARAM wparam, LPARAM lparam) {
    for (int task = task3; task >= 0; --task) {
        if (is_button_click(wparam, lparam, profile.task_windows[task].launch_id)) {
            launch_task(main_window, task);
            return;
        }
    }
    if (profile.exit_id && is_button_click(wparam, lparam, profile.exit_id)) {
        // Ends the loop without destroying any window, as the exit button always did.
        SendMessageA(main_window, WM_DESTROY, 0, 0);
    } else if (profile.about_id && is_button_click(wparam, lparam, profile.about_id)) {
        show_information(main_window, profile.about_text);
    }
}

} // namespace

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE: create_controls(window, profile.main_controls); return 0;
    case WM_COMMAND: on_command(window, wparam, lparam); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

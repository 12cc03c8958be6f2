#include "shell/shell.h"

#include "tasks/array/array.h"
#include "tasks/expression/expression.h"
#include "tasks/tabulation/tabulation.h"
#include "variants/profile.h"

HINSTANCE module_handle;

namespace {

struct WindowClass {
    const char* name;
    WNDPROC procedure;
};

const WindowClass window_classes[] = {
    {"cl_main", main_window_proc},
    {"Window1", task1_window_proc},
    {"Window2", task2_window_proc},
    {"Window3", task3_window_proc},
};

// One record, registered once per class; only the name and the procedure change.
bool register_window_classes() {
    WNDCLASSEXA window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.style = CS_BYTEALIGNCLIENT;
    window_class.hInstance = module_handle;
    window_class.hIcon = LoadIconA(0, IDI_APPLICATION);
    window_class.hCursor = LoadCursorA(0, IDC_ARROW);
    window_class.hbrBackground = (HBRUSH)(UINT_PTR)(COLOR_BTNFACE + 1);
    window_class.hIconSm = window_class.hIcon;
    for (const WindowClass& entry : window_classes) {
        window_class.lpszClassName = entry.name;
        window_class.lpfnWndProc = entry.procedure;
        if (!RegisterClassExA(&window_class))
            return false;
    }
    return true;
}

} // namespace

int app_main(HINSTANCE instance) {
    module_handle = instance;
    if (!register_window_classes())
        return 1;

    const MainWindowSpec& spec = profile.main_window;
    HWND main_window =
        CreateWindowExA(0, "cl_main", spec.caption, WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX,
                        spec.x, spec.y, spec.width, spec.height, 0, 0, module_handle, 0);
    if (!main_window)
        return 1;
    ShowWindow(main_window, SW_SHOWNORMAL);
    UpdateWindow(main_window);

    MSG message = {};
    while (GetMessageA(&message, 0, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}

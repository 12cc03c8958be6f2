// End-to-end driver: starts one deliverable's program and drives it through its real windows,
// as a user would, from another process. Runs under Wine next to the program.
//
//   e2e_driver <deliverable> <program.exe> <screenshot folder> [--tour] [--time-scale=N]
//
// --tour only opens the three task windows, runs each task and saves the screenshots, and says so
// in words for a user. --time-scale=N makes every time limit N times longer (under emulation).
// Prints one line per failed check; the exit code is the number of failures (0: all passed).
// Texts are Windows-1251 bytes, like the programs' own.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "tests/e2e/expectations.h"

namespace {

DWORD window_timeout_ms = 10000; // a window that is to appear or go away
DWORD exit_timeout_ms = 10000;   // the process after its main window has gone
DWORD paint_ms = 400;            // a window redrawn before its screenshot (at least)
const DWORD poll_ms = 20;

int failures = 0;
const Deliverable* deliverable = nullptr;
PROCESS_INFORMATION process = {};
const char* screenshot_folder = ".";

// Windows-1251 text as UTF-8 for the terminal, with CR and LF shown as \r and \n.
void print_text(const char* text) {
    static wchar_t wide[2048];
    static char utf8[6144];
    int length = MultiByteToWideChar(1251, 0, text, -1, wide, 2048);
    if (length == 0 ||
        !WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr)) {
        printf("(%u bytes)", (unsigned)strlen(text));
        return;
    }
    putchar('"');
    for (const char* p = utf8; *p; ++p) {
        if (*p == '\r')
            fputs("\\r", stdout);
        else if (*p == '\n')
            fputs("\\n", stdout);
        else
            putchar(*p);
    }
    putchar('"');
}

void fail(const char* what) {
    ++failures;
    printf("%s: FAIL %s\n", deliverable->name, what);
    fflush(stdout);
}

void check(bool holds, const char* what) {
    if (!holds)
        fail(what);
}

void check_text(const char* actual, const char* expected, const char* what) {
    if (strcmp(actual, expected) == 0)
        return;
    ++failures;
    printf("%s: FAIL %s\n    expected ", deliverable->name, what);
    print_text(expected);
    printf("\n    actual   ");
    print_text(actual);
    printf("\n");
    fflush(stdout);
}

void check_number(long actual, long expected, const char* what) {
    if (actual == expected)
        return;
    ++failures;
    printf("%s: FAIL %s: expected %ld, actual %ld\n", deliverable->name, what, expected, actual);
    fflush(stdout);
}

// Another process's control texts are read with WM_GETTEXT: GetWindowText returns only
// captions across processes.
const char* control_text(HWND control) {
    static char text[1024];
    text[0] = 0;
    SendMessageA(control, WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

const char* caption_of(HWND window) {
    static char text[512];
    text[0] = 0;
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A '*' in the expected caption stands for any text (an author credit).
void check_caption(HWND window, const char* expected, const char* what) {
    const char* actual = caption_of(window);
    const char* star = strchr(expected, '*');
    if (!star) {
        check_text(actual, expected, what);
        return;
    }
    size_t head = star - expected;
    size_t tail = strlen(star + 1);
    size_t length = strlen(actual);
    bool matches = length >= head + tail && strncmp(actual, expected, head) == 0 &&
                   strcmp(actual + length - tail, star + 1) == 0;
    if (!matches)
        check_text(actual, expected, what);
}

struct WindowQuery {
    const char* class_name;
    HWND owner; // null: any
    HWND found;
    int count;
};

BOOL CALLBACK match_top_level(HWND window, LPARAM data) {
    WindowQuery* query = (WindowQuery*)data;
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    if (process_id != process.dwProcessId || !IsWindowVisible(window))
        return TRUE;
    char class_name[64];
    GetClassNameA(window, class_name, sizeof class_name);
    if (strcmp(class_name, query->class_name) != 0)
        return TRUE;
    if (query->owner && GetWindow(window, GW_OWNER) != query->owner)
        return TRUE;
    if (!query->found)
        query->found = window;
    ++query->count;
    return TRUE;
}

// The program's visible top-level windows of a class (and owner); their number in *count.
HWND find_window(const char* class_name, HWND owner, int* count = nullptr) {
    WindowQuery query = {class_name, owner, nullptr, 0};
    EnumWindows(match_top_level, (LPARAM)&query);
    if (count)
        *count = query.count;
    return query.found;
}

HWND wait_for_window(const char* class_name, HWND owner) {
    for (DWORD waited = 0; waited < window_timeout_ms; waited += poll_ms) {
        if (HWND window = find_window(class_name, owner))
            return window;
        if (WaitForSingleObject(process.hProcess, poll_ms) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

bool wait_until_gone(HWND window) {
    for (DWORD waited = 0; waited < window_timeout_ms; waited += poll_ms) {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        Sleep(poll_ms);
    }
    return false;
}

struct ChildList {
    HWND children[32];
    int count;
};

BOOL CALLBACK collect_child(HWND child, LPARAM data) {
    ChildList* list = (ChildList*)data;
    if (GetParent(child) == GetAncestor(child, GA_PARENT) && list->count < 32)
        list->children[list->count++] = child;
    return TRUE;
}

// A control by its place in the creation order (1-based); enumeration follows creation.
HWND control_at(HWND window, int order) {
    ChildList list = {};
    EnumChildWindows(window, collect_child, (LPARAM)&list);
    if (order < 1 || order > list.count)
        return nullptr;
    return list.children[order - 1];
}

int control_count(HWND window) {
    ChildList list = {};
    EnumChildWindows(window, collect_child, (LPARAM)&list);
    return list.count;
}

// A label wraps at a word that does not fit and shows only its first line: every label of the main
// window must hold its text on one line in the system font, which the programs never change.
void check_labels_fit(HWND window) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, GetStockObject(SYSTEM_FONT));
    for (int order = 1; HWND control = control_at(window, order); ++order) {
        char class_name[16];
        GetClassNameA(control, class_name, sizeof class_name);
        if (lstrcmpiA(class_name, "Static") != 0)
            continue;
        const char* text = control_text(control);
        SIZE extent = {};
        GetTextExtentPoint32A(screen, text, (int)strlen(text), &extent);
        RECT client = {};
        GetClientRect(control, &client);
        if (extent.cx > client.right) {
            char label[160];
            snprintf(label, sizeof label, "main window label %d: text %ld px wide, label %ld px",
                     order, extent.cx, client.right);
            fail(label);
        }
    }
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
}

// BM_CLICK sends BN_CLICKED to the parent synchronously: a click that opens a modal box is
// posted, or SendMessage would wait for the box to close.
bool click(HWND window, int id, bool opens_box) {
    HWND button = GetDlgItem(window, id);
    if (!button)
        return false;
    if (opens_box)
        PostMessageA(button, BM_CLICK, 0, 0);
    else
        SendMessageA(button, BM_CLICK, 0, 0);
    return true;
}

void save_screenshot(HWND window, const char* name);

// The platform gives the activation and the focus back to a box's owner once the box has gone;
// under emulation that can come seconds later, and a screenshot must not catch the owner before.
void wait_until_active_again(HWND owner) {
    for (DWORD waited = 0; waited < window_timeout_ms; waited += poll_ms) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(process.dwThreadId, &info);
        if (info.hwndActive == owner && info.hwndFocus)
            return;
        Sleep(poll_ms);
    }
}

// Waits for the information box owned by owner, checks its text and default title, answers it.
void answer_box(HWND owner, const char* expected_text, const char* what) {
    char label[160];
    HWND box = wait_for_window("#32770", owner);
    if (!box) {
        snprintf(label, sizeof label, "%s: no message box appeared", what);
        fail(label);
        return;
    }
    snprintf(label, sizeof label, "%s: message box text", what);
    check_text(control_text(GetDlgItem(box, 0xFFFF)), expected_text, label);
    snprintf(label, sizeof label, "%s: message box title", what);
    check_text(caption_of(box), "Помилка", label);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    snprintf(label, sizeof label, "%s: message box did not close", what);
    check(wait_until_gone(box), label);
    wait_until_active_again(owner);
}

void check_rect(HWND window, int x, int y, int width, int height, const char* what) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    char label[160];
    if (x != platform_placed) {
        snprintf(label, sizeof label, "%s x", what);
        check_number(rect.left, x, label);
        snprintf(label, sizeof label, "%s y", what);
        check_number(rect.top, y, label);
    }
    snprintf(label, sizeof label, "%s width", what);
    check_number(rect.right - rect.left, width, label);
    snprintf(label, sizeof label, "%s height", what);
    check_number(rect.bottom - rect.top, height, label);
}

void check_fields(HWND window, const FieldText* fields, int count, const char* what) {
    char label[160];
    for (int i = 0; i < count && fields[i].order; ++i) {
        HWND control = control_at(window, fields[i].order);
        snprintf(label, sizeof label, "%s, control %d", what, fields[i].order);
        if (!control) {
            fail(label);
            continue;
        }
        check_text(control_text(control), fields[i].text, label);
    }
}

void type_fields(HWND window, const FieldText* fields, int count) {
    for (int i = 0; i < count && fields[i].order; ++i) {
        if (HWND control = control_at(window, fields[i].order))
            SendMessageA(control, WM_SETTEXT, 0, (LPARAM)fields[i].text);
    }
}

// Opens a task window by its launch button and checks the window itself.
HWND open_task(HWND main_window, int task) {
    const TaskCase& expected = deliverable->tasks[task];
    char label[160];
    snprintf(label, sizeof label, "Task %d launch button", task + 1);
    check(click(main_window, deliverable->launch_ids[task], false), label);
    HWND window = wait_for_window(expected.class_name, main_window);
    snprintf(label, sizeof label, "Task %d window did not open", task + 1);
    check(window != nullptr, label);
    if (!window)
        return nullptr;
    snprintf(label, sizeof label, "Task %d caption", task + 1);
    check_text(caption_of(window), expected.caption, label);
    snprintf(label, sizeof label, "Task %d window", task + 1);
    check_rect(window, expected.x, expected.y, expected.width, expected.height, label);
    snprintf(label, sizeof label, "Task %d controls", task + 1);
    check_number(control_count(window), expected.control_count, label);
    snprintf(label, sizeof label, "Task %d initial texts", task + 1);
    check_fields(window, expected.initial, max_fields, label);
    return window;
}

// Runs a task as the user would: types the inputs, adds the elements (Task 3), clicks Execute,
// and checks the results.
void run_task(HWND window, int task, const FieldText* results) {
    const TaskCase& expected = deliverable->tasks[task];
    char label[160];
    type_fields(window, expected.typed, max_fields);
    if (task == 2) {
        const ArrayCase& array = deliverable->array;
        for (int i = 0; i < max_elements && array.elements[i]; ++i) {
            const FieldText element = {array.element_order, array.elements[i]};
            type_fields(window, &element, 1);
            bool confirms = array.added_text != nullptr;
            snprintf(label, sizeof label, "Task 3 add button");
            check(click(window, array.add_id, confirms), label);
            if (confirms) {
                snprintf(label, sizeof label, "Task 3 addition %d", i + 1);
                answer_box(window, array.added_text, label);
            }
        }
    }
    snprintf(label, sizeof label, "Task %d execute button", task + 1);
    check(click(window, expected.execute_id, false), label);
    snprintf(label, sizeof label, "Task %d result", task + 1);
    check_fields(window, results, max_fields, label);
}

HWND focused_window() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(process.dwThreadId, &info);
    return info.hwndFocus ? info.hwndFocus : info.hwndActive;
}

// The second click on a launch button: a box owned by the main window, or the open window takes
// the focus (checked only when the focus was elsewhere before). Never a second window.
void check_already_open_notice(HWND main_window, HWND task_window, int task) {
    const TaskCase& expected = deliverable->tasks[task];
    char label[160];
    const char* notice = deliverable->already_open_text;
    HWND focus_before = focused_window();
    click(main_window, deliverable->launch_ids[task], notice != nullptr);
    if (notice) {
        snprintf(label, sizeof label, "Task %d already open", task + 1);
        answer_box(main_window, notice, label);
    } else {
        snprintf(label, sizeof label, "Task %d already open: focus was on its window before",
                 task + 1);
        check(focus_before != task_window, label);
        snprintf(label, sizeof label, "Task %d already open: focus not on its window", task + 1);
        check(focused_window() == task_window, label);
    }
    int count = 0;
    find_window(expected.class_name, main_window, &count);
    snprintf(label, sizeof label, "Task %d windows after a second click", task + 1);
    check_number(count, 1, label);
}

bool start_program(const char* program) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    char command_line[MAX_PATH + 2];
    snprintf(command_line, sizeof command_line, "\"%s\"", program);
    if (!CreateProcessA(program, command_line, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        printf("%s: FAIL cannot start %s (error %lu)\n", deliverable->name, program,
               GetLastError());
        ++failures;
        return false;
    }
    return true;
}

void check_exit(const char* what) {
    char label[160];
    DWORD waited = WaitForSingleObject(process.hProcess, exit_timeout_ms);
    snprintf(label, sizeof label, "%s: the process did not end", what);
    check(waited == WAIT_OBJECT_0, label);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 99);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    snprintf(label, sizeof label, "%s: exit code", what);
    check_number((long)code, 0, label);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    process = {};
}

HWND start_and_find_main(const char* program) {
    if (!start_program(program))
        return nullptr;
    WaitForInputIdle(process.hProcess, window_timeout_ms);
    HWND main_window = wait_for_window("cl_main", nullptr);
    check(main_window != nullptr, "main window did not appear");
    if (!main_window)
        TerminateProcess(process.hProcess, 99);
    return main_window;
}

// The whole scenario of one deliverable.
void drive(const char* program, bool tour) {
    HWND main_window = start_and_find_main(program);
    if (!main_window)
        return;
    check_caption(main_window, deliverable->caption, "main window caption");
    check_rect(main_window, deliverable->x, deliverable->y, deliverable->width, deliverable->height,
               "main window");
    LONG style = GetWindowLongA(main_window, GWL_STYLE);
    check((style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) == 0 && (style & WS_MINIMIZEBOX),
          "main window: fixed size, minimize box only");
    check_number(control_count(main_window), deliverable->main_control_count,
                 "main window controls");
    check_labels_fit(main_window);
    save_screenshot(main_window, "main");

    HWND task_windows[3] = {};
    static const char* const shot_names[3] = {"task1", "task2", "task3"};
    for (int task = 0; task < 3; ++task) {
        task_windows[task] = open_task(main_window, task);
        if (!task_windows[task])
            continue;
        run_task(task_windows[task], task, deliverable->tasks[task].results);
        save_screenshot(task_windows[task], shot_names[task]);
    }

    if (!tour) {
        if (deliverable->task1_after_repeats && task_windows[0]) {
            // Earlier rows give way to each new run: the table never stops taking rows.
            const TaskCase& task1 = deliverable->tasks[0];
            const FieldText full_table = {task1.results[0].order, deliverable->task1_after_repeats};
            for (int clicks = 2; clicks <= 10; ++clicks) {
                click(task_windows[0], task1.execute_id, false);
                char label[160];
                snprintf(label, sizeof label, "Task 1 result after %d clicks", clicks);
                if (clicks == 3 || clicks == 4 || clicks == 10)
                    check_fields(task_windows[0], &full_table, 1, label);
            }
            save_screenshot(task_windows[0], "task1-clicked-10-times");
        }
        const GuardCase& guard = deliverable->guard;
        if (guard.box_text && task_windows[1]) {
            type_fields(task_windows[1], guard.typed, max_fields);
            click(task_windows[1], deliverable->tasks[1].execute_id, true);
            answer_box(task_windows[1], guard.box_text, "Task 2 zero divisor");
            check_fields(task_windows[1], guard.results, max_fields, "Task 2 zero divisor result");
        }
        for (int task = 0; task < 3; ++task) {
            if (task_windows[task])
                check_already_open_notice(main_window, task_windows[task], task);
        }
        // Closed and opened again: the initial texts are back, and Task 3 starts empty.
        for (int task = 0; task < 3; ++task) {
            if (!task_windows[task])
                continue;
            SendMessageA(task_windows[task], WM_CLOSE, 0, 0);
            check(wait_until_gone(task_windows[task]), "task window did not close");
            task_windows[task] = open_task(main_window, task);
        }
        if (HWND window = task_windows[2]) {
            type_fields(window, deliverable->tasks[2].typed, max_fields);
            click(window, deliverable->tasks[2].execute_id, false);
            check_fields(window, deliverable->array.empty_results, max_fields,
                         "Task 3 result after reopening");
        }
    }

    PostMessageA(main_window, WM_CLOSE, 0, 0);
    check_exit("main window closed");

    if (!tour && deliverable->exit_id) {
        // The exit button ends the program with a task window open, as closing does.
        main_window = start_and_find_main(program);
        if (!main_window)
            return;
        open_task(main_window, 0);
        check(click(main_window, deliverable->exit_id, true), "exit button");
        check_exit("exit button");
    }
}

// Copies the window's place on the screen into a 24-bit BMP; the run script makes PNGs of them.
// The copy is taken once two in a row are alike: under emulation a repaint (of what a closed box
// covered, say) can take seconds.
void save_screenshot(HWND window, const char* name) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const DWORD interval = paint_ms / 2;
    Sleep(interval);
    RECT rect = {};
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    DWORD row_size = ((DWORD)width * 3 + 3) & ~3u;
    DWORD image_size = row_size * (DWORD)height;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    std::vector<unsigned char> earlier;
    for (DWORD waited = 0;; waited += interval) {
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        const unsigned char* now = (const unsigned char*)pixels;
        if (earlier.size() == image_size && std::equal(earlier.begin(), earlier.end(), now))
            break;
        if (waited >= window_timeout_ms) {
            fail("a window kept changing while its screenshot was taken");
            break;
        }
        earlier.assign(now, now + image_size);
        Sleep(interval);
    }

    BITMAPFILEHEADER file_header = {};
    file_header.bfType = 0x4D42;
    file_header.bfOffBits = sizeof file_header + sizeof info.bmiHeader;
    file_header.bfSize = file_header.bfOffBits + image_size;
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s-%s.bmp", screenshot_folder, deliverable->name, name);
    if (FILE* file = fopen(path, "wb")) {
        fwrite(&file_header, sizeof file_header, 1, file);
        fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file);
        fwrite(pixels, image_size, 1, file);
        fclose(file);
    } else {
        fail("cannot write a screenshot");
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

} // namespace

int main(int argc, char** argv) {
    bool tour = false;
    int time_scale = 1;
    bool usable = argc >= 4;
    for (int i = 4; i < argc && usable; ++i) {
        if (strcmp(argv[i], "--tour") == 0)
            tour = true;
        else
            usable = sscanf(argv[i], "--time-scale=%d", &time_scale) == 1 && time_scale > 0;
    }
    if (!usable) {
        fprintf(stderr, "usage: e2e_driver <deliverable> <program.exe> <screenshot folder> "
                        "[--tour] [--time-scale=N]\n");
        return 100;
    }
    window_timeout_ms *= time_scale;
    exit_timeout_ms *= time_scale;
    paint_ms *= time_scale;
    for (const Deliverable& candidate : deliverables) {
        if (strcmp(candidate.name, argv[1]) == 0)
            deliverable = &candidate;
    }
    if (!deliverable) {
        fprintf(stderr, "unknown deliverable %s\n", argv[1]);
        return 100;
    }
    screenshot_folder = argv[3];
    drive(argv[2], tour);
    if (tour && failures)
        printf("%s was shown, but %d of its texts or windows were not as expected (listed "
               "above).\n",
               deliverable->name, failures);
    else if (tour)
        printf("%s was shown: its main window, then each task window with its task run once; "
               "every text was as expected.\n",
               deliverable->name);
    else
        printf("%s: %s (%d failed checks)\n", deliverable->name, failures ? "FAILED" : "passed",
               failures);
    return failures > 99 ? 99 : failures;
}

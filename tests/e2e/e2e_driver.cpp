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
#include <string>
#include <vector>

#include "tests/e2e/scenario.h"
#include "tests/shipped/runner_output.h"

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

std::string named(const std::string& what, const char* detail) {
    return what + ": " + detail;
}

// Waits for the information box owned by owner and checks its text and default title.
HWND find_box(HWND owner, const char* expected_text, const std::string& what) {
    HWND box = wait_for_window("#32770", owner);
    if (!box) {
        fail(named(what, "no message box appeared").c_str());
        return nullptr;
    }
    check_text(control_text(GetDlgItem(box, 0xFFFF)), expected_text,
               named(what, "message box text").c_str());
    check_text(caption_of(box), "Помилка", named(what, "message box title").c_str());
    return box;
}

// The platform gives the activation back to a box's owner once the box has gone. Under emulation
// Wine's X11 driver can lose that race, at once or a little later (the box's X window goes before
// the owner takes the X focus), and give the foreground to the desktop, where the owner's caption
// looks inactive. A user would click the window; the driver gives it the foreground, until the
// owner has kept it for a while.
void wait_until_active_again(HWND owner) {
    DWORD kept = 0, since_given = 0;
    for (DWORD waited = 0; waited < window_timeout_ms; waited += poll_ms) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(process.dwThreadId, &info);
        if (info.hwndActive == owner && info.hwndFocus && GetForegroundWindow() == owner) {
            kept += poll_ms;
            if (kept >= paint_ms)
                return;
        } else {
            kept = 0;
            since_given += poll_ms;
            if (since_given >= paint_ms) {
                SetForegroundWindow(owner);
                since_given = 0;
            }
        }
        Sleep(poll_ms);
    }
}

void answer_box(HWND box, const std::string& what) {
    if (!box)
        return;
    // Only a box that has the foreground gives it to its owner as it goes.
    HWND owner = GetForegroundWindow() == box ? GetWindow(box, GW_OWNER) : nullptr;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    check(wait_until_gone(box), named(what, "message box did not close").c_str());
    if (owner && IsWindow(owner) && IsWindowVisible(owner))
        wait_until_active_again(owner);
}

void check_rect(HWND window, int x, int y, int width, int height, const std::string& what) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    if (x != platform_placed) {
        check_number(rect.left, x, named(what, "x").c_str());
        check_number(rect.top, y, named(what, "y").c_str());
    }
    check_number(rect.right - rect.left, width, named(what, "width").c_str());
    check_number(rect.bottom - rect.top, height, named(what, "height").c_str());
}

void check_fields(HWND window, const std::vector<FieldText>& fields, const std::string& what) {
    for (const FieldText& field : fields) {
        std::string label = what + ", control " + std::to_string(field.order);
        if (HWND control = control_at(window, field.order))
            check_text(control_text(control), field.text, label.c_str());
        else
            fail(label.c_str());
    }
}

// A window as it opens: caption, place, size, fixed size with close and minimize boxes, controls,
// texts.
void check_window(HWND window, const WindowCase& expected, const std::vector<FieldText>& fields,
                  const std::string& what) {
    if (!caption_matches(caption_of(window), expected.caption))
        check_text(caption_of(window), expected.caption, named(what, "caption").c_str());
    check_rect(window, expected.x, expected.y, expected.width, expected.height, what);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    check((style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) == 0 && (style & WS_SYSMENU) &&
              (style & WS_MINIMIZEBOX),
          named(what, "fixed size, close and minimize boxes").c_str());
    check_number(control_count(window), expected.control_count, named(what, "controls").c_str());
    check_fields(window, fields, named(what, "initial texts"));
}

HWND focused_window() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(process.dwThreadId, &info);
    return info.hwndFocus ? info.hwndFocus : info.hwndActive;
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

void check_exit(const std::string& what) {
    DWORD waited = WaitForSingleObject(process.hProcess, exit_timeout_ms);
    check(waited == WAIT_OBJECT_0, named(what, "the process did not end").c_str());
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 99);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    check_number((long)code, 0, named(what, "exit code").c_str());
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

// A window as listed; a control's class in lower case and its place relative to its window, as
// the stand-in keeps them.
ListedWindow listed(HWND window, HWND relative_to) {
    char class_name[64];
    GetClassNameA(window, class_name, sizeof class_name);
    RECT place = {};
    GetWindowRect(window, &place);
    if (relative_to) {
        CharLowerA(class_name);
        MapWindowPoints(HWND_DESKTOP, relative_to, (POINT*)&place, 2);
    }
    return {class_name,
            relative_to ? control_text(window) : caption_of(window),
            relative_to ? GetDlgCtrlID(window) : 0,
            place.left,
            place.top,
            place.right - place.left,
            place.bottom - place.top,
            (DWORD)GetWindowLongA(window, GWL_STYLE),
            (DWORD)GetWindowLongA(window, GWL_EXSTYLE)};
}

// The windows as the shipped runner's `windows` action lists them, one window a line, into
// <screenshot folder>\<deliverable>-windows.txt: run_e2e.sh compares it with the reviewed
// snapshot of the deliverable, what the real window system shows against what the stand-in does.
void save_windows(HWND const windows[4]) {
    static const char* const names[] = {"main", "task1", "task2", "task3"};
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s-windows.txt", screenshot_folder, deliverable->name);
    FILE* file = fopen(path, "wb");
    if (!file) {
        fail("cannot write the list of windows");
        return;
    }
    for (int w = 0; w < 4; ++w) {
        if (!windows[w])
            continue;
        std::vector<ListedWindow> controls;
        for (int order = 1; HWND control = control_at(windows[w], order); ++order)
            controls.push_back(listed(control, windows[w]));
        fprintf(file, "%s\n",
                window_listing(json_string(names[w]), w ? json_string("main") : "null",
                               listed(windows[w], nullptr), controls)
                    .c_str());
    }
    fclose(file);
}

// The deliverable's scenario (tests/e2e/scenario.h) on its real windows.
void play(const std::vector<Step>& steps, const char* program) {
    HWND windows[4] = {};
    std::vector<HWND> held_boxes;
    bool running = false;
    for (const Step& step : steps) {
        if (step.act == Act::start) {
            running = (windows[0] = start_and_find_main(program)) != nullptr;
            continue;
        }
        HWND window = windows[step.window];
        bool on_its_window =
            step.act != Act::open && step.act != Act::answer && step.act != Act::exit;
        if (!running || (on_its_window && !window))
            continue; // what was to be checked has failed already
        const WindowCase& expected = window_of(*deliverable, step.window);
        const char* what = step.what.c_str();
        int count = 0;
        switch (step.act) {
        case Act::start: break;
        case Act::check_main:
            check_window(window, expected, step.fields, what);
            check_labels_fit(window);
            break;
        case Act::open:
            check(click(windows[0], step.id, false), named(what, "launch button").c_str());
            window = windows[step.window] = wait_for_window(expected.class_name, windows[0]);
            check(window != nullptr, named(what, "did not open").c_str());
            if (!window)
                break;
            find_window(expected.class_name, windows[0], &count);
            check_number(count, 1, named(what, "windows of its class").c_str());
            check_window(window, expected, step.fields, what);
            break;
        case Act::type:
            for (const FieldText& field : step.fields)
                if (HWND control = control_at(window, field.order))
                    SendMessageA(control, WM_SETTEXT, 0, (LPARAM)field.text);
            break;
        case Act::click:
        case Act::click_and_hold:
            check(click(window, step.id, !step.boxes.empty()), named(what, "button").c_str());
            for (const ExpectedBox& box : step.boxes) {
                HWND shown = find_box(windows[box.owner], box.text, step.what);
                if (step.act == Act::click)
                    answer_box(shown, step.what);
                else
                    held_boxes.push_back(shown);
            }
            break;
        case Act::answer:
            if (!held_boxes.empty()) {
                answer_box(held_boxes.back(), step.what);
                held_boxes.pop_back();
            }
            break;
        case Act::expect: check_fields(window, step.fields, step.what); break;
        case Act::notice: {
            // The focus check means something only when the focus was elsewhere before.
            HWND focus_before = focused_window();
            click(windows[0], step.id, !step.boxes.empty());
            for (const ExpectedBox& box : step.boxes)
                answer_box(find_box(windows[box.owner], box.text, step.what), step.what);
            if (step.boxes.empty()) {
                check(focus_before != window,
                      named(what, "focus was on its window before").c_str());
                check(focused_window() == window, named(what, "focus not on its window").c_str());
            }
            find_window(expected.class_name, windows[0], &count);
            check_number(count, 1, named(what, "windows of its class").c_str());
            break;
        }
        case Act::close:
            if (step.window == 0) {
                PostMessageA(window, WM_CLOSE, 0, 0); // the program ends: no answer comes
            } else {
                SendMessageA(window, WM_CLOSE, 0, 0);
                check(wait_until_gone(window), named(what, "window did not close").c_str());
            }
            windows[step.window] = nullptr;
            break;
        case Act::exit:
            check_exit(step.what);
            held_boxes.clear();
            running = false;
            break;
        case Act::screenshot: save_screenshot(window, what); break;
        case Act::windows: save_windows(windows); break;
        }
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
    deliverable = expectations_of(argv[1]);
    if (!deliverable) {
        fprintf(stderr, "no expectations of %s in tests/e2e/expectations.cpp\n", argv[1]);
        return 100;
    }
    screenshot_folder = argv[3];
    play(scenario(*deliverable, tour), argv[2]);
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

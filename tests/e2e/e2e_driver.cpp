// End-to-end driver: starts one deliverable's program and drives it through its real windows,
// as a user would, from another process. Runs under Wine next to the program.
//
//   e2e_driver <deliverable> <program.exe> <window snapshot> <screenshot folder> [--tour]
//              [--messages] [--time-scale=N]
//   e2e_driver --code-page
//
// It plays the scenario with the mouse and the keyboard, through the system's input queue
// (SendInput), as a person does: a field is clicked into, its text selected and typed over, a
// button clicked, a box answered with Enter or its OK button, a window closed with its close box
// or Alt+F4, and a window that covers what is to be clicked dragged aside by its caption.
// --messages plays the same steps with messages instead (WM_SETTEXT, BM_CLICK, WM_CLOSE), as the
// tests on the stand-in do. --tour only opens the three task windows, runs each task and saves the
// screenshots, and says so in words for a user. --time-scale=N makes every time limit N times
// longer (under emulation). --code-page only says whether the ANSI code page is Windows-1251, as
// the programs' texts are. Every window as it opens, and all of them once reopened, must be as the
// deliverable's reviewed snapshot (tests/shipped/windows/) has them, with what the real window
// system adds. Prints one line per failed check; the exit code is the number of failures (0: all
// passed). Texts are Windows-1251 bytes, like the programs' own.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/behaviours.h"
#include "tests/e2e/scenario.h"
#include "tests/shipped/window_snapshot.h"

namespace {

DWORD window_timeout_ms = 10000; // a window that is to appear or go away
DWORD exit_timeout_ms = 10000;   // the process after its main window has gone
DWORD paint_ms = 400;            // a window redrawn before its screenshot (at least)
const DWORD poll_ms = 20;

int failures = 0;
bool by_hand = true; // through the input queue; false: with messages
const Deliverable* deliverable = nullptr;
WindowSnapshot snapshot;
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

void save_screen_part(RECT rect, const char* name, bool when_still);

// By hand, what was on the screen at the first failures is kept: <deliverable>-failed-N.
void keep_the_screen() {
    static bool keeping = false;
    if (!by_hand || keeping || failures > 3)
        return;
    keeping = true;
    char name[32];
    snprintf(name, sizeof name, "failed-%d", failures);
    printf("    (the screen: %s-%s, beside the screenshots)\n", deliverable->name, name);
    save_screen_part({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, name,
                     false);
    keeping = false;
}

void fail(const char* what) {
    ++failures;
    printf("%s: FAIL %s\n", deliverable->name, what);
    keep_the_screen();
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
    keep_the_screen();
    fflush(stdout);
}

void check_number(long actual, long expected, const char* what) {
    if (actual == expected)
        return;
    ++failures;
    printf("%s: FAIL %s: expected %ld, actual %ld\n", deliverable->name, what, expected, actual);
    keep_the_screen();
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

void save_screenshot(HWND window, const char* name);

std::string named(const std::string& what, const char* detail) {
    return what + ": " + detail;
}

// ---- A person's hands: the mouse and the keyboard, through the system's input queue.

GUITHREADINFO program_thread_info() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(process.dwThreadId, &info);
    return info;
}

// Polls until the condition holds, for at most the time limit of a window (or the one given).
template <typename Condition> bool wait_until(Condition holds, DWORD limit_ms = 0) {
    for (DWORD waited = 0; waited < (limit_ms ? limit_ms : window_timeout_ms); waited += poll_ms) {
        if (holds())
            return true;
        Sleep(poll_ms);
    }
    return holds();
}

void send_inputs(INPUT* inputs, UINT count) {
    if (SendInput(count, inputs, sizeof(INPUT)) != count)
        fail("the system refused an input event");
}

// Absolute coordinates run from 0 to 65535 across the screen; rounded up, each lands on its pixel.
LONG absolute(LONG pixel, int screen_size) {
    return (LONG)(((long long)pixel * 65536 + screen_size - 1) / screen_size);
}

void send_mouse(DWORD button, POINT at) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = absolute(at.x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = absolute(at.y, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
    send_inputs(&input, 1);
}

void click_at(POINT at) {
    send_mouse(0, at);
    send_mouse(MOUSEEVENTF_LEFTDOWN, at);
    send_mouse(MOUSEEVENTF_LEFTUP, at);
}

INPUT key_event(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = (WORD)MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// A key pressed and released, with another held down meanwhile (Shift+End, Alt+F4) or none; sent
// as one series, so that no other input comes between.
void press_key(WORD key, WORD held = 0) {
    INPUT inputs[4] = {key_event(held, false), key_event(key, false), key_event(key, true),
                       key_event(held, true)};
    if (held)
        send_inputs(inputs, 4);
    else
        send_inputs(inputs + 1, 2);
}

// A character on the system's keyboard; '\b' is Backspace.
void type_character(char character) {
    SHORT key = character == '\b' ? VK_BACK : VkKeyScanA(character);
    if (key == -1) {
        fail("a character that no key of this keyboard types");
        return;
    }
    press_key(LOBYTE(key), (key & 0x100) ? VK_SHIFT : 0);
}

HWND top_level(HWND window) {
    return GetAncestor(window, GA_ROOT);
}

bool owned_by(HWND window, HWND owner) {
    for (HWND above = GetWindow(window, GW_OWNER); above; above = GetWindow(above, GW_OWNER))
        if (above == owner)
            return true;
    return false;
}

POINT centre_of(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// What the window is at that point of the screen (its caption, its close box, ...).
LRESULT hit_test(HWND window, POINT at) {
    DWORD_PTR part = HTNOWHERE;
    SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y), SMTO_ABORTIFHUNG,
                        window_timeout_ms, &part);
    return (LRESULT)part;
}

// A point of a top-level window's part (HTCAPTION, HTCLOSE), one that no other window covers if
// `visible`: the caption searched from its middle outwards, the close box from the right.
bool find_part(HWND window, LRESULT part, POINT* at, bool visible = true) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    LONG middle = (rect.left + rect.right) / 2, half = (rect.right - rect.left) / 2;
    for (LONG y = rect.top + 2; y < rect.top + 40 && y < rect.bottom; y += 4) {
        for (LONG step = 0; step < half; step += 4) {
            const POINT points[] = {{middle + step, y}, {middle - step, y}};
            const POINT from_right[] = {{rect.right - 1 - 2 * step, y}};
            for (POINT point : part == HTCLOSE ? std::vector<POINT>(from_right, from_right + 1)
                                               : std::vector<POINT>(points, points + 2)) {
                if ((!visible || WindowFromPoint(point) == window) &&
                    hit_test(window, point) == part) {
                    *at = point;
                    return true;
                }
            }
        }
    }
    return false;
}

// Where each window the user dragged aside was before its first move: the place it opened at.
std::vector<std::pair<HWND, RECT>> places_before_moving;

struct ProgramWindows {
    std::vector<std::pair<HWND, RECT>> found;
};

BOOL CALLBACK collect_program_window(HWND window, LPARAM data) {
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    if (process_id == process.dwProcessId && IsWindowVisible(window)) {
        RECT rect = {};
        GetWindowRect(window, &rect);
        ((ProgramWindows*)data)->found.push_back({window, rect});
    }
    return TRUE;
}

// The first corner, row by row on the screen, where the window would cover none of the program's
// other windows, or failing that at least not `away_from`.
POINT free_place(HWND window, HWND away_from) {
    RECT own = {};
    GetWindowRect(window, &own);
    LONG width = own.right - own.left, height = own.bottom - own.top;
    ProgramWindows windows;
    EnumWindows(collect_program_window, (LPARAM)&windows);
    POINT fallback = {-1, -1};
    for (LONG y = 0; y + height <= GetSystemMetrics(SM_CYSCREEN); y += 10) {
        for (LONG x = 0; x + width <= GetSystemMetrics(SM_CXSCREEN); x += 10) {
            RECT place = {x, y, x + width, y + height}, overlap;
            bool clear = true, clear_of_target = true;
            for (const auto& other : windows.found) {
                if (other.first == window || !IntersectRect(&overlap, &place, &other.second))
                    continue;
                clear = false;
                clear_of_target = clear_of_target && other.first != away_from;
            }
            if (clear)
                return {x, y};
            if (clear_of_target && fallback.x < 0)
                fallback = {x, y};
        }
    }
    return fallback;
}

// Drags the window by its caption to a place where it covers neither `away_from` nor, where
// there is room, any other window of the program.
bool drag_aside(HWND window, HWND away_from, const std::string& what) {
    POINT grip = {};
    RECT before = {};
    GetWindowRect(window, &before);
    POINT corner = free_place(window, away_from);
    if (!find_part(window, HTCAPTION, &grip) || corner.x < 0) {
        fail(named(what, "a window in the way has no caption to drag it by, or no room").c_str());
        return false;
    }
    if (std::none_of(places_before_moving.begin(), places_before_moving.end(),
                     [&](const std::pair<HWND, RECT>& moved) { return moved.first == window; }))
        places_before_moving.push_back({window, before});
    POINT drop = {grip.x + corner.x - before.left, grip.y + corner.y - before.top};
    // The button is let go only once the window has followed the mouse: a release that came
    // before the system's move loop began would leave the loop waiting for the next click.
    auto moving = [] { return (program_thread_info().flags & GUI_INMOVESIZE) != 0; };
    send_mouse(0, grip);
    send_mouse(MOUSEEVENTF_LEFTDOWN, grip);
    bool started = wait_until(moving);
    const int steps = 8;
    for (int step = 1; step <= steps; ++step)
        send_mouse(0, {grip.x + (drop.x - grip.x) * step / steps,
                       grip.y + (drop.y - grip.y) * step / steps});
    auto arrived = [&] {
        RECT now = {};
        GetWindowRect(window, &now);
        return now.left == corner.x && now.top == corner.y;
    };
    // The loop may miss the last move (Wine merges them); a person moves the mouse a little more.
    for (int nudge = 0; started && nudge < 10 && !wait_until(arrived, paint_ms * 2); ++nudge) {
        send_mouse(0, {drop.x + 1, drop.y});
        send_mouse(0, drop);
    }
    send_mouse(MOUSEEVENTF_LEFTUP, drop);
    if (!wait_until([&] { return !moving(); }) || !arrived()) {
        fail(named(what, "a window in the way did not follow the mouse").c_str());
        return false;
    }
    return true;
}

std::string window_words(HWND window) {
    char class_name[64] = "";
    GetClassNameA(window, class_name, sizeof class_name);
    return std::string("a window of class ") + class_name;
}

// Makes `target` the window under `at`, as a person does: a window of the program that stays
// above the target's window whatever is clicked (one it owns, such as a task window over the main
// window) is dragged aside by its caption; any other is sent behind with a click on the caption of
// the target's window.
bool uncover(HWND target, POINT at, const std::string& what) {
    HWND own_window = top_level(target);
    for (int attempt = 0; attempt < 6; ++attempt) {
        HWND shown = WindowFromPoint(at);
        if (shown == target)
            return true;
        HWND cover = shown ? top_level(shown) : nullptr;
        if (!cover || cover == own_window) {
            fail(named(what, "cannot be reached: the window shows something else there (is it "
                             "hidden or disabled?)")
                     .c_str());
            return false;
        }
        POINT caption = {};
        if (!owned_by(cover, own_window) && find_part(own_window, HTCAPTION, &caption)) {
            click_at(caption);
            wait_until([&] { return WindowFromPoint(at) == target; });
        } else if (!drag_aside(cover, own_window, what)) {
            break;
        }
    }
    fail(named(what,
               ("cannot be reached: " + window_words(WindowFromPoint(at)) + " stays in the way")
                   .c_str())
             .c_str());
    return false;
}

// A click on a control (a button, or an edit to type into), after uncovering it.
bool click_control(HWND control, const std::string& what) {
    POINT at = centre_of(control);
    if (!uncover(control, at, what))
        return false;
    click_at(at);
    return true;
}

HWND focus_of_program() {
    return program_thread_info().hwndFocus;
}

// A click on a part of a top-level window (its caption, its close box), after uncovering it.
bool click_part(HWND window, LRESULT part, const std::string& what) {
    POINT at = {};
    if (!find_part(window, part, &at, false)) {
        fail(named(what, part == HTCLOSE ? "no close box" : "no caption").c_str());
        return false;
    }
    if (!uncover(window, at, what))
        return false;
    click_at(at);
    return true;
}

bool in_front(HWND window) {
    HWND focus = focus_of_program();
    return GetForegroundWindow() == window && focus && (focus == window || IsChild(window, focus));
}

// Brings a top-level window to the front with a click on its caption, until it has the focus.
bool activate(HWND window, const std::string& what) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (in_front(window))
            return true;
        if (!click_part(window, HTCAPTION, what))
            return false;
        if (wait_until([&] { return in_front(window); }))
            return true;
    }
    fail(named(what, "the window did not come to the front").c_str());
    return false;
}

// What an input brings about is awaited for the time limit of a window; once a check has failed,
// the program is at fault and the later ones get only a short while, so that the run ends with its
// failures rather than at its time limit.
DWORD awaited_ms() {
    return failures ? paint_ms * 2 : window_timeout_ms;
}

// Clicks into the field, selects its text (Home, Shift+End) and types the keys over it. A click
// that has not moved the focus yet, or keys that went astray (the field shows what it showed
// before, as when the X focus lags behind under emulation, until a check has failed), are tried
// again, as a person would; the field must end up holding what was typed.
void type_into(HWND edit, const char* keys, const std::string& what) {
    const std::string wanted = typed_text(keys);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!click_control(edit, what))
            return;
        if (!wait_until([&] { return focus_of_program() == edit; }))
            continue;
        const std::string before = control_text(edit);
        press_key(VK_HOME);
        press_key(VK_END, VK_SHIFT);
        for (const char* key = keys; *key; ++key)
            type_character(*key);
        if (wait_until([&] { return wanted == control_text(edit); }, awaited_ms()))
            return;
        if (focus_of_program() == edit && (control_text(edit) != before || failures))
            break; // the keys went to the field, which did not take them as typed
    }
    check_text(control_text(edit), wanted.c_str(), named(what, "the typed text").c_str());
}

// Closes a window as a person does: its close box, or Alt+F4 once it is in front.
// Alt+F4 goes to whatever is in front: under emulation the X focus can go astray right after the
// window came to the front, and the keys with it. A person who sees the window stay presses them
// again, once it is in front again; never sooner, lest they close the window behind it.
void close_by_hand(HWND window, bool alt_f4, const std::string& what) {
    if (!alt_f4) {
        click_part(window, HTCLOSE, what);
        return;
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!activate(window, what))
            return;
        press_key(VK_F4, VK_MENU);
        if (wait_until([&] { return !IsWindow(window) || !IsWindowVisible(window); }, paint_ms * 5))
            return;
    }
}

BOOL CALLBACK find_box_of_thread(HWND window, LPARAM found) {
    char class_name[16] = "";
    GetClassNameA(window, class_name, sizeof class_name);
    if (strcmp(class_name, "#32770") != 0)
        return TRUE;
    *(HWND*)found = window;
    return FALSE;
}

DWORD WINAPI show_untitled_box(LPVOID) {
    MessageBoxA(nullptr, "", nullptr, MB_OK);
    return 0;
}

// The title the system gives a box that has none, as the driver's own box shows it: "Помилка" in
// the Ukrainian locale the tests set, another word under a Windows in another language.
const char* default_box_title() {
    static char title[256];
    static bool known = false;
    if (known)
        return title;
    known = true;
    DWORD thread_id = 0;
    HANDLE thread = CreateThread(nullptr, 0, show_untitled_box, nullptr, 0, &thread_id);
    HWND box = nullptr;
    if (wait_until([&] {
            EnumThreadWindows(thread_id, find_box_of_thread, (LPARAM)&box);
            return box != nullptr;
        })) {
        GetWindowTextA(box, title, sizeof title);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    WaitForSingleObject(thread, window_timeout_ms);
    CloseHandle(thread);
    return title;
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
    const char* title = caption_of(box);
    if (strcmp(title, "Помилка") != 0 && strcmp(title, default_box_title()) != 0)
        check_text(title, default_box_title(), named(what, "message box title").c_str());
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

// A click on a button. By hand it goes through the input queue, and what it brings about is
// awaited by the step's checks. With messages, BM_CLICK sends BN_CLICKED to the parent
// synchronously: a click that opens a modal box is posted, or SendMessage would wait for the box
// to close.
bool click(HWND window, int id, bool opens_box, const std::string& what) {
    HWND button = GetDlgItem(window, id);
    if (!button)
        return false;
    if (by_hand)
        click_control(button, what);
    else if (opens_box)
        PostMessageA(button, BM_CLICK, 0, 0);
    else
        SendMessageA(button, BM_CLICK, 0, 0);
    return true;
}

// By hand a box is answered with Enter once it has the focus (Enter goes to whatever has it), or
// with a click on its OK button; with messages, with a posted IDOK. A box that the next click of
// the same run answers again (`again`) leaves its window only enabled, not also active.
void answer_box(HWND box, bool with_mouse, const std::string& what, bool again = false) {
    if (!box)
        return;
    HWND owner = GetWindow(box, GW_OWNER);
    // Only a box that has the foreground gives it to its owner as it goes.
    bool gives_foreground = GetForegroundWindow() == box;
    if (!by_hand)
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    else if (with_mouse)
        click_control(GetDlgItem(box, IDOK), named(what, "OK button"));
    else if (activate(box, named(what, "message box")))
        press_key(VK_RETURN);
    check(wait_until_gone(box), named(what, "message box did not close").c_str());
    if (!owner || !IsWindow(owner) || !IsWindowVisible(owner))
        return;
    if (by_hand || again) // a person's next click in it needs it enabled again, not active
        check(wait_until([&] { return IsWindowEnabled(owner) != FALSE; }),
              named(what, "the box's window stayed disabled").c_str());
    else if (gives_foreground)
        wait_until_active_again(owner);
}

// By hand, what a click brings about is awaited: the fields get a while to show their texts.
void check_fields(HWND window, const std::vector<FieldText>& fields, const std::string& what) {
    if (by_hand)
        wait_until(
            [&] {
                for (const FieldText& field : fields) {
                    HWND control = control_at(window, field.order);
                    if (!control || strcmp(control_text(control), field.text) != 0)
                        return false;
                }
                return true;
            },
            awaited_ms());
    for (const FieldText& field : fields) {
        std::string label = what + ", control " + std::to_string(field.order);
        if (HWND control = control_at(window, field.order))
            check_text(control_text(control), field.text, label.c_str());
        else
            fail(label.c_str());
    }
}

// Fields that hold their texts within theirs.
void check_parts(HWND window, const std::vector<FieldText>& fields, const std::string& what) {
    for (const FieldText& field : fields) {
        std::string label = what + ", control " + std::to_string(field.order);
        HWND control = control_at(window, field.order);
        if (!control)
            fail(label.c_str());
        else if (!strstr(control_text(control), field.text))
            check_text(control_text(control), field.text, (label + ": does not hold").c_str());
    }
}

// A point of the window's client area where it shows no control, on the screen; false if none.
bool empty_point(HWND window, POINT* at) {
    RECT client = {};
    GetClientRect(window, &client);
    for (LONG y = client.bottom - 4; y > 4; y -= 8) {
        for (LONG x = client.right - 4; x > 4; x -= 8) {
            POINT point = {x, y};
            if (ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE) != window)
                continue;
            ClientToScreen(window, &point);
            *at = point;
            return true;
        }
    }
    return false;
}

HCURSOR cursor_shown() {
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    return info.hCursor;
}

// The cursor the system shows once the mouse is at that point of the window or control (uncovered
// first): the one it gives, through WM_SETCURSOR. It is awaited until it is no longer `before`, or
// without one, until it has stayed the same for a while.
HCURSOR cursor_at(HWND target, POINT at, HCURSOR before, const std::string& what) {
    if (!uncover(target, at, what))
        return nullptr;
    send_mouse(0, at);
    HCURSOR shown = nullptr;
    DWORD steady = 0;
    wait_until(
        [&] {
            HCURSOR now = cursor_shown();
            steady = now == shown ? steady + poll_ms : 0;
            shown = now;
            return shown && (before ? shown != before : steady >= paint_ms);
        },
        awaited_ms());
    return shown;
}

// The class of every window as a person meets it: over an empty part of its client area the
// cursor is the arrow that the system's buttons show (their class has IDC_ARROW), and between two
// windows the mouse rests on an edit, whose I-beam shows that the cursor follows the classes; the
// area is painted in the dialog face colour. Where the system gives another process's class record
// (Windows), its icons, cursor and style are compared too; Wine 8 gives none, and each process
// its own handles of the shared system images.
void check_classes(HWND const windows[4], const std::string& what) {
    const BehaviourCases* cases = behaviour_cases_of(deliverable->name);
    HWND button = GetDlgItem(windows[3], deliverable->array.add_id);
    HWND edit = cases ? control_at(windows[3], cases->task3_inputs[2]) : nullptr;
    if (!button || !edit) {
        fail(named(what, "no Task 3 button or edit to compare the cursor with").c_str());
        return;
    }
    HCURSOR i_beam = cursor_at(edit, centre_of(edit), nullptr, what);
    HCURSOR arrow = cursor_at(button, centre_of(button), i_beam, what);
    check(arrow && arrow != i_beam,
          named(what, "the cursor over a button and over an edit cannot be told apart").c_str());
    for (int w = 0; w < 4; ++w) {
        const ClassSetup& setup = class_setups()[w];
        std::string label = what + ", " + setup.name;
        char class_name[64] = "";
        GetClassNameA(windows[w], class_name, sizeof class_name);
        check_text(class_name, setup.name, named(label, "class").c_str());
        POINT at = {};
        if (!empty_point(windows[w], &at)) {
            fail(named(label, "no client area without a control").c_str());
            continue;
        }
        if (w > 0)
            cursor_at(edit, centre_of(edit), arrow, label);
        check(strcmp(setup.cursor, "IDC_ARROW") == 0 &&
                  cursor_at(windows[w], at, i_beam, label) == arrow,
              named(label, "cursor: not the arrow").c_str());
        HDC screen = GetDC(nullptr);
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        bool painted = wait_until([&] { return GetPixel(screen, at.x, at.y) == face; });
        ReleaseDC(nullptr, screen);
        check(setup.background == COLOR_BTNFACE + 1 && painted,
              named(label, "background: not the dialog face colour").c_str());
        if (HICON icon = (HICON)GetClassLongPtrA(windows[w], GCLP_HICON)) {
            HICON application = LoadIconA(nullptr, IDI_APPLICATION);
            check(strcmp(setup.icon, "IDI_APPLICATION") == 0 && icon == application &&
                      (HICON)GetClassLongPtrA(windows[w], GCLP_HICONSM) == application &&
                      (HCURSOR)GetClassLongPtrA(windows[w], GCLP_HCURSOR) ==
                          LoadCursorA(nullptr, IDC_ARROW) &&
                      (UINT)GetClassLongPtrA(windows[w], GCL_STYLE) == setup.style,
                  named(label, "class record: icons, cursor or style").c_str());
        }
    }
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
    // A window dragged aside is listed where it opened, the place the program gave it.
    for (const std::pair<HWND, RECT>& moved : places_before_moving)
        if (moved.first == window)
            place = moved.second;
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

ShownWindow shown_window(HWND window, int number) {
    ShownWindow shown = {window_name(number), number ? "main" : "", listed(window, nullptr), {}};
    for (int order = 1; HWND control = control_at(window, order); ++order)
        shown.controls.push_back(listed(control, window));
    return shown;
}

void fail_differences(const std::vector<std::string>& differences, const std::string& what) {
    for (const std::string& difference : differences)
        fail(named(what, difference.c_str()).c_str());
}

// A window as it opens: as its snapshot has it, with what the real window system adds; a fixed
// size with close and minimize boxes. By hand its controls get a while to appear.
void check_window(HWND window, int number, const std::string& what) {
    const ShownWindow* expected = snapshot.find(window_name(number));
    if (!expected) {
        fail(named(what, "no such window in the window snapshot").c_str());
        return;
    }
    std::vector<std::string> differences;
    auto alike = [&] {
        differences = window_differences(*expected, shown_window(window, number), true);
        return differences.empty();
    };
    if (by_hand)
        wait_until(alike, awaited_ms());
    alike();
    fail_differences(differences, what);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    check((style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) == 0 && (style & WS_SYSMENU) &&
              (style & WS_MINIMIZEBOX),
          named(what, "fixed size, close and minimize boxes").c_str());
}

// Every open window, in order, against the snapshot; the windows as listed are kept in
// <screenshot folder>\<deliverable>-windows.txt.
void check_windows(HWND const windows[4], const std::string& what) {
    WindowSnapshot now;
    for (int w = 0; w < 4; ++w)
        if (windows[w])
            now.windows.push_back(shown_window(windows[w], w));
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s-windows.txt", screenshot_folder, deliverable->name);
    if (FILE* file = fopen(path, "wb")) {
        fputs(snapshot_text(now).c_str(), file);
        fclose(file);
    }
    if (now.windows.size() != snapshot.windows.size())
        fail(named(what, (std::to_string(now.windows.size()) + " windows, not " +
                          std::to_string(snapshot.windows.size()))
                             .c_str())
                 .c_str());
    for (size_t i = 0; i < now.windows.size() && i < snapshot.windows.size(); ++i)
        fail_differences(window_differences(snapshot.windows[i], now.windows[i], true), what);
}

// The deliverable's scenario (tests/e2e/scenario.h) on its real windows.
void play(const std::vector<Step>& steps, const char* program) {
    HWND windows[4] = {};
    std::vector<HWND> held_boxes;
    bool running = false;
    for (const Step& step : steps) {
        if (step.act == Act::start) {
            places_before_moving.clear();
            running = (windows[0] = start_and_find_main(program)) != nullptr;
            continue;
        }
        HWND window = windows[step.window];
        bool on_its_window =
            step.act != Act::open && step.act != Act::answer && step.act != Act::exit;
        if (!running || (on_its_window && !window))
            continue; // what was to be checked has failed already
        const ShownWindow* expected = snapshot.find(window_name(step.window));
        const char* class_name = expected ? expected->window.class_name.c_str() : "";
        const char* what = step.what.c_str();
        int count = 0;
        switch (step.act) {
        case Act::start: break;
        case Act::check_main:
            check_window(window, step.window, what);
            check_labels_fit(window);
            break;
        case Act::open:
            check(click(windows[0], step.id, false, what), named(what, "launch button").c_str());
            window = windows[step.window] = wait_for_window(class_name, windows[0]);
            check(window != nullptr, named(what, "did not open").c_str());
            if (!window)
                break;
            find_window(class_name, windows[0], &count);
            check_number(count, 1, named(what, "windows of its class").c_str());
            check_window(window, step.window, what);
            if (by_hand) { // a person keeps the main window in reach
                RECT task = {}, main = {}, overlap = {};
                GetWindowRect(window, &task);
                GetWindowRect(windows[0], &main);
                if (IntersectRect(&overlap, &task, &main))
                    drag_aside(window, windows[0], what);
            }
            break;
        case Act::type:
            for (const FieldText& field : step.fields) {
                std::string label = step.what + ", control " + std::to_string(field.order);
                HWND control = control_at(window, field.order);
                if (!control)
                    fail(label.c_str());
                else if (by_hand)
                    type_into(control, field.text, label);
                else if (SendMessageA(control, WM_SETTEXT, 0,
                                      (LPARAM)typed_text(field.text).c_str()))
                    check_text(control_text(control), typed_text(field.text).c_str(),
                               label.c_str());
            }
            break;
        case Act::click:
        case Act::click_and_hold:
            for (int time = 0; time < step.times; ++time) {
                check(click(window, step.id, !step.boxes.empty(), what),
                      named(what, "button").c_str());
                for (const ExpectedBox& box : step.boxes) {
                    HWND shown = find_box(windows[box.owner], box.text, step.what);
                    if (step.act == Act::click)
                        answer_box(shown, false, step.what, time + 1 < step.times);
                    else
                        held_boxes.push_back(shown);
                }
            }
            break;
        case Act::answer: // a box held while other windows were used: by hand, with the mouse
            if (!held_boxes.empty()) {
                answer_box(held_boxes.back(), true, step.what);
                held_boxes.pop_back();
            }
            break;
        case Act::expect: check_fields(window, step.fields, step.what); break;
        case Act::expect_part: check_parts(window, step.fields, step.what); break;
        case Act::classes: check_classes(windows, step.what); break;
        case Act::notice: {
            // The focus check means something only when the focus was elsewhere before.
            HWND focus_before = focused_window();
            click(windows[0], step.id, !step.boxes.empty(), what);
            for (const ExpectedBox& box : step.boxes)
                answer_box(find_box(windows[box.owner], box.text, step.what), false, step.what);
            if (step.boxes.empty()) {
                check(focus_before != window,
                      named(what, "focus was on its window before").c_str());
                if (by_hand)
                    wait_until([&] { return focused_window() == window; });
                check(focused_window() == window, named(what, "focus not on its window").c_str());
            }
            find_window(class_name, windows[0], &count);
            check_number(count, 1, named(what, "windows of its class").c_str());
            break;
        }
        case Act::close:
            // By hand Task 1 goes with Alt+F4, the others with their close box.
            if (by_hand)
                close_by_hand(window, step.window == 1, what);
            else if (step.window == 0)
                PostMessageA(window, WM_CLOSE, 0, 0); // the program ends: no answer comes
            else
                SendMessageA(window, WM_CLOSE, 0, 0);
            if (step.window != 0)
                check(wait_until_gone(window), named(what, "window did not close").c_str());
            windows[step.window] = nullptr;
            break;
        case Act::exit:
            check_exit(step.what);
            held_boxes.clear();
            running = false;
            break;
        case Act::screenshot: save_screenshot(window, what); break;
        case Act::windows: check_windows(windows, what); break;
        }
    }
}

// Copies the window's place on the screen into a 24-bit BMP; the run script makes PNGs of them.
// The copy is taken once two in a row are alike: under emulation a repaint (of what a closed box
// covered, say) can take seconds.
void save_screenshot(HWND window, const char* name) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(paint_ms / 2);
    RECT rect = {};
    GetWindowRect(window, &rect);
    save_screen_part(rect, name, true);
}

void save_screen_part(RECT rect, const char* name, bool when_still) {
    const DWORD interval = paint_ms / 2;
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
        if (!when_still ||
            (earlier.size() == image_size && std::equal(earlier.begin(), earlier.end(), now)))
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

// The ANSI code page in words, for the release check's report: the programs' texts are
// Windows-1251. The exit code is 0 for 1251.
int describe_code_page() {
    UINT page = GetACP();
    if (page == 1251) {
        printf("ANSI code page 1251 (Cyrillic): the programs' texts show as written.\n");
        return 0;
    }
    printf("ANSI code page %u, not 1251 (Cyrillic): the programs' texts are Windows-1251 and show "
           "on "
           "this machine as other letters, so a program can fail below on its texts alone. For a "
           "check that tells, set the language for non-Unicode programs to Ukrainian (Settings, "
           "Time and language, Language and region, Administrative language settings) and run it "
           "again.\n",
           page);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "--code-page") == 0)
        return describe_code_page();
    bool tour = false;
    int time_scale = 1;
    bool usable = argc >= 5;
    for (int i = 5; i < argc && usable; ++i) {
        if (strcmp(argv[i], "--tour") == 0)
            tour = true;
        else if (strcmp(argv[i], "--messages") == 0)
            by_hand = false;
        else
            usable = sscanf(argv[i], "--time-scale=%d", &time_scale) == 1 && time_scale > 0;
    }
    if (!usable) {
        fprintf(stderr, "usage: e2e_driver <deliverable> <program.exe> <window snapshot> "
                        "<screenshot folder> [--tour] [--messages] [--time-scale=N]\n"
                        "       e2e_driver --code-page\n");
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
    std::string problem;
    if (!read_window_snapshot(argv[3], &snapshot, &problem)) {
        fprintf(stderr, "%s\n", problem.c_str());
        return 100;
    }
    screenshot_folder = argv[4];
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

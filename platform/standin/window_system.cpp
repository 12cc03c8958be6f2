// The window system as host tests see it: windows are records that are never freed, so a stale
// handle stays harmless; messages go straight to the procedures; the queue is a plain deque.
#include "platform/standin/harness.h"
#include "platform/standin/winapi.h"

#include <stdio.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace {

struct WindowRecord {
    standin::WindowInfo info;
    WNDPROC procedure = nullptr; // null: a predefined control
    bool being_destroyed = false;
};

// Handles are numbered on from one test to the next, so a handle kept across reset() is unknown
// rather than aliasing a new window.
const uintptr_t handle_step = 16;
uintptr_t next_handle_number = 0x1000;
uintptr_t first_handle_number = 0x1000;

std::deque<WindowRecord> windows;
// Indices of live windows in creation order: tests open and close windows thousands of times, so
// the walks below must not grow with every window ever made.
std::vector<size_t> live_indices;
std::vector<standin::ClassInfo> classes;
std::deque<MSG> queue;
bool quit_pending = false;
int quit_code = 0;
bool starved_flag = false;
std::string failing_registration;
std::string failing_creation;
std::vector<standin::MessageBoxRecord> message_box_log;
std::vector<HWND> flashed_log;
std::vector<HWND> focused_log;
HWND focused_window = nullptr;
std::function<void(const standin::MessageBoxRecord&)> message_box_handler;
std::function<bool()> idle_script;
std::vector<std::string> misuse_log;

bool same_name(const std::string& a, const char* b) {
    return b != nullptr && strcasecmp(a.c_str(), b) == 0;
}

bool is_predefined(const char* class_name) {
    return same_name("button", class_name) || same_name("static", class_name) ||
           same_name("edit", class_name);
}

void note_misuse(const char* caller, const std::string& what) {
    misuse_log.push_back(std::string(caller) + ": " + what);
}

HWND handle_of(size_t index) {
    return reinterpret_cast<HWND>((first_handle_number + index) * handle_step);
}

size_t index_of(HWND window) {
    return reinterpret_cast<uintptr_t>(window) / handle_step - first_handle_number;
}

// The record behind a handle, or null; a handle that never existed (in this test) is misuse.
WindowRecord* lookup(HWND window, const char* caller) {
    uintptr_t value = reinterpret_cast<uintptr_t>(window);
    if (value != 0 && value % handle_step == 0 && value / handle_step >= first_handle_number &&
        index_of(window) < windows.size())
        return &windows[index_of(window)];
    note_misuse(caller, "unknown window handle");
    return nullptr;
}

WindowRecord* live(HWND window, const char* caller) {
    WindowRecord* record = lookup(window, caller);
    return record != nullptr && record->info.alive ? record : nullptr;
}

standin::ClassInfo* find_class(const char* name) {
    for (standin::ClassInfo& info : classes)
        if (same_name(info.name, name))
            return &info;
    return nullptr;
}

LRESULT deliver(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

void notify_parent(const WindowRecord& control, HWND handle, WORD code) {
    if (control.info.parent == nullptr)
        return;
    deliver(control.info.parent, WM_COMMAND, MAKEWPARAM(control.info.id, code),
            reinterpret_cast<LPARAM>(handle));
}

LRESULT control_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = DefWindowProcA(window, message, wparam, lparam);
    if (message == WM_SETTEXT) {
        WindowRecord* record = live(window, "SendMessageA");
        if (record != nullptr && same_name(record->info.class_name, "edit") &&
            (record->info.style & ES_MULTILINE) == 0)
            notify_parent(*record, window, EN_CHANGE);
    }
    return result;
}

LRESULT deliver(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    WindowRecord* record = live(window, "SendMessageA");
    if (record == nullptr)
        return 0;
    WNDPROC procedure = record->procedure != nullptr ? record->procedure : control_procedure;
    return procedure(window, message, wparam, lparam);
}

// Owned windows go first, then the window hears WM_DESTROY, then its children, parent first.
void destroy_tree(HWND window) {
    size_t index = index_of(window);
    windows[index].being_destroyed = true;
    std::vector<size_t> snapshot = live_indices;
    for (size_t i : snapshot)
        if (windows[i].info.owner == window && windows[i].info.alive)
            DestroyWindow(handle_of(i));
    deliver(window, WM_DESTROY, 0, 0);
    snapshot = live_indices;
    for (size_t i : snapshot)
        if (windows[i].info.parent == window && windows[i].info.alive &&
            !windows[i].being_destroyed)
            destroy_tree(handle_of(i));
    windows[index].info.alive = false;
    live_indices.erase(std::find(live_indices.begin(), live_indices.end(), index));
}

void fill_quit(LPMSG msg, WPARAM code) {
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = code;
}

} // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR) {
    return reinterpret_cast<HMODULE>(0x400000);
}

void WINAPI ExitProcess(UINT exit_code) {
    fflush(stdout);
    fflush(stderr);
    _exit(static_cast<int>(exit_code));
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) {
    return reinterpret_cast<HICON>(0x1001);
}
HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) {
    return reinterpret_cast<HCURSOR>(0x1002);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* window_class) {
    if (window_class == nullptr || window_class->cbSize != sizeof(WNDCLASSEXA) ||
        window_class->lpszClassName == nullptr) {
        note_misuse("RegisterClassExA", "invalid class record");
        return 0;
    }
    const char* name = window_class->lpszClassName;
    if (same_name(failing_registration, name) || find_class(name) != nullptr || is_predefined(name))
        return 0;
    classes.push_back(standin::ClassInfo{name, *window_class});
    return static_cast<ATOM>(0xC000 + classes.size());
}

HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE,
                            LPVOID) {
    if (class_name == nullptr)
        return nullptr;
    standin::ClassInfo* registered = find_class(class_name);
    if (registered == nullptr && !is_predefined(class_name)) {
        note_misuse("CreateWindowExA", std::string("unknown class ") + class_name);
        return nullptr;
    }
    if (same_name(failing_creation, class_name))
        return nullptr;
    if (parent != nullptr && live(parent, "CreateWindowExA") == nullptr)
        return nullptr;
    WindowRecord record;
    record.info.class_name = class_name;
    record.info.text = window_name != nullptr ? window_name : "";
    record.info.style = style;
    record.info.ex_style = ex_style;
    record.info.x = x;
    record.info.y = y;
    record.info.width = width;
    record.info.height = height;
    if (style & WS_CHILD) {
        record.info.id = static_cast<int>(reinterpret_cast<uintptr_t>(menu));
        record.info.parent = parent;
    } else {
        record.info.owner = parent;
    }
    record.info.alive = true;
    record.info.visible = (style & WS_VISIBLE) != 0;
    record.procedure = registered != nullptr ? registered->record.lpfnWndProc : nullptr;
    windows.push_back(record);
    live_indices.push_back(windows.size() - 1);
    HWND window = handle_of(windows.size() - 1);
    if (deliver(window, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    return window;
}

BOOL WINAPI DestroyWindow(HWND window) {
    WindowRecord* record = live(window, "DestroyWindow");
    if (record == nullptr || record->being_destroyed)
        return FALSE;
    destroy_tree(window);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND window, int show_command) {
    WindowRecord* record = live(window, "ShowWindow");
    if (record == nullptr)
        return FALSE;
    BOOL was_visible = record->info.visible;
    record->info.visible = show_command != SW_HIDE;
    return was_visible;
}

BOOL WINAPI UpdateWindow(HWND window) {
    return live(window, "UpdateWindow") != nullptr;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND, UINT, UINT) {
    for (;;) {
        if (!queue.empty()) {
            *msg = queue.front();
            queue.pop_front();
            return TRUE;
        }
        if (quit_pending) {
            quit_pending = false;
            fill_quit(msg, static_cast<WPARAM>(quit_code));
            return 0;
        }
        if (!idle_script || !idle_script() || (queue.empty() && !quit_pending)) {
            starved_flag = true;
            fill_quit(msg, static_cast<WPARAM>(-1));
            return 0;
        }
    }
}

BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr)
        return 0;
    return deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    WindowRecord* record = live(window, "DefWindowProcA");
    if (record == nullptr)
        return 0;
    switch (message) {
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lparam);
        record->info.text = text != nullptr ? text : "";
        return TRUE;
    }
    case WM_GETTEXT: {
        char* buffer = reinterpret_cast<char*>(lparam);
        if (buffer == nullptr || wparam == 0)
            return 0;
        size_t count = record->info.text.size();
        if (count > wparam - 1)
            count = wparam - 1;
        memcpy(buffer, record->info.text.data(), count);
        buffer[count] = '\0';
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(record->info.text.size());
    default: return 0;
    }
}

void WINAPI PostQuitMessage(int exit_code) {
    quit_pending = true;
    quit_code = exit_code;
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (window != nullptr && live(window, "PostMessageA") == nullptr)
        return FALSE;
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wparam;
    msg.lParam = lparam;
    queue.push_back(msg);
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return deliver(window, message, wparam, lparam);
}

BOOL WINAPI FlashWindow(HWND window, BOOL) {
    lookup(window, "FlashWindow");
    flashed_log.push_back(window);
    return FALSE;
}

HWND WINAPI SetFocus(HWND window) {
    if (window != nullptr)
        lookup(window, "SetFocus");
    focused_log.push_back(window);
    HWND previous = focused_window;
    focused_window = window;
    return previous;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (owner != nullptr)
        lookup(owner, "MessageBoxA");
    standin::MessageBoxRecord box{owner, text != nullptr ? text : "", caption == nullptr,
                                  caption != nullptr ? caption : "", type};
    message_box_log.push_back(box);
    if (message_box_handler)
        message_box_handler(box);
    return IDOK;
}

int WINAPI GetWindowTextLengthA(HWND window) {
    return static_cast<int>(deliver(window, WM_GETTEXTLENGTH, 0, 0));
}

int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int buffer_size) {
    if (buffer == nullptr || buffer_size <= 0)
        return 0;
    return static_cast<int>(deliver(window, WM_GETTEXT, static_cast<WPARAM>(buffer_size),
                                    reinterpret_cast<LPARAM>(buffer)));
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    return static_cast<BOOL>(deliver(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

namespace standin {

void reset() {
    first_handle_number = next_handle_number += windows.size() + 1;
    windows.clear();
    live_indices.clear();
    classes.clear();
    queue.clear();
    quit_pending = false;
    quit_code = 0;
    starved_flag = false;
    failing_registration.clear();
    failing_creation.clear();
    message_box_log.clear();
    flashed_log.clear();
    focused_log.clear();
    focused_window = nullptr;
    message_box_handler = nullptr;
    idle_script = nullptr;
    misuse_log.clear();
}

WindowInfo describe(HWND window) {
    WindowRecord* record = lookup(window, "describe");
    return record != nullptr ? record->info : WindowInfo{};
}

bool is_alive(HWND window) {
    WindowRecord* record = lookup(window, "is_alive");
    return record != nullptr && record->info.alive;
}

std::vector<ClassInfo> registered_classes() {
    return classes;
}

void fail_registration_of(const char* class_name) {
    failing_registration = class_name != nullptr ? class_name : "";
}

void fail_creation_of(const char* class_name) {
    failing_creation = class_name != nullptr ? class_name : "";
}

HWND find_top_level(const char* class_name) {
    for (size_t k = live_indices.size(); k-- > 0;) {
        const WindowInfo& info = windows[live_indices[k]].info;
        if ((info.style & WS_CHILD) == 0 && same_name(info.class_name, class_name))
            return handle_of(live_indices[k]);
    }
    return nullptr;
}

std::vector<HWND> top_level_windows() {
    std::vector<HWND> result;
    for (size_t i : live_indices)
        if ((windows[i].info.style & WS_CHILD) == 0)
            result.push_back(handle_of(i));
    return result;
}

std::vector<HWND> children(HWND parent) {
    std::vector<HWND> result;
    if (parent == nullptr)
        return result;
    for (size_t i : live_indices)
        if (windows[i].info.parent == parent)
            result.push_back(handle_of(i));
    return result;
}

HWND child_by_id(HWND parent, int id, int nth) {
    for (HWND child : children(parent))
        if (windows[index_of(child)].info.id == id && nth-- == 0)
            return child;
    return nullptr;
}

HWND child_at(HWND parent, int creation_index) {
    std::vector<HWND> all = children(parent);
    if (creation_index < 0 || static_cast<size_t>(creation_index) >= all.size())
        return nullptr;
    return all[static_cast<size_t>(creation_index)];
}

void click(HWND control) {
    WindowRecord* record = live(control, "click");
    if (record == nullptr || same_name(record->info.class_name, "edit"))
        return;
    if (same_name(record->info.class_name, "static") && (record->info.style & SS_NOTIFY) == 0)
        return;
    notify_parent(*record, control, BN_CLICKED);
}

void type_text(HWND edit, const std::string& text) {
    WindowRecord* record = live(edit, "type_text");
    if (record == nullptr)
        return;
    record->info.text = text;
    notify_parent(*record, edit, EN_CHANGE);
}

void close(HWND window) {
    SendMessageA(window, WM_CLOSE, 0, 0);
}

std::string text_of(HWND window) {
    WindowRecord* record = lookup(window, "text_of");
    return record != nullptr ? record->info.text : std::string();
}

const std::vector<MessageBoxRecord>& message_boxes() {
    return message_box_log;
}
const std::vector<HWND>& flashed_windows() {
    return flashed_log;
}
const std::vector<HWND>& focused_windows() {
    return focused_log;
}

void on_message_box(std::function<void(const MessageBoxRecord&)> handler) {
    message_box_handler = std::move(handler);
}

void on_idle(std::function<bool()> script) {
    idle_script = std::move(script);
}
bool starved() {
    return starved_flag;
}
const std::vector<std::string>& misuse() {
    return misuse_log;
}

} // namespace standin

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
#include <utility>
#include <vector>

namespace {

struct WindowRecord {
    standin::WindowInfo info;
    WNDPROC procedure = nullptr; // null: a predefined control
    bool being_destroyed = false;
    size_t selection_start = 0, selection_end = 0; // an edit's selection; the caret is at its end
};

// Handles are numbered on from one test to the next, so a handle kept across reset() is unknown
// rather than aliasing a new window.
const uintptr_t handle_step = 16;
uintptr_t first_handle_number = 0x1000;

// The system's icons and cursors: the handle of each is its base plus its place in its list.
const uintptr_t stock_icon_value = 0x7f0100;
const uintptr_t stock_cursor_value = 0x7f0200;
struct SystemImage {
    const char* name;
    int number;
};
const SystemImage system_icons[] = {
    {"IDI_APPLICATION", 32512}, {"IDI_HAND", 32513},     {"IDI_QUESTION", 32514},
    {"IDI_EXCLAMATION", 32515}, {"IDI_ASTERISK", 32516}, {"IDI_WINLOGO", 32517},
};
const SystemImage system_cursors[] = {
    {"IDC_ARROW", 32512},       {"IDC_IBEAM", 32513},   {"IDC_WAIT", 32514}, {"IDC_CROSS", 32515},
    {"IDC_UPARROW", 32516},     {"IDC_SIZEALL", 32646}, {"IDC_NO", 32648},   {"IDC_HAND", 32649},
    {"IDC_APPSTARTING", 32650}, {"IDC_HELP", 32651},
};

// The shared handle of a system icon or cursor; null for another module's or a named one.
template <size_t count>
HICON system_image(const SystemImage (&images)[count], uintptr_t base, HINSTANCE module,
                   LPCSTR name) {
    for (size_t i = 0; i < count && !module && IS_INTRESOURCE(name); ++i)
        if ((UINT_PTR)name == (UINT_PTR)images[i].number)
            return reinterpret_cast<HICON>(base + i);
    return nullptr;
}

template <size_t count>
const char* system_image_name(const SystemImage (&images)[count], uintptr_t base, HICON image) {
    uintptr_t value = reinterpret_cast<uintptr_t>(image);
    return value >= base && value < base + count ? images[value - base].name : nullptr;
}
const uintptr_t stock_module_value = 0x400000;
const ATOM first_atom = 0xC000;

std::deque<WindowRecord> windows;
// Indices of live windows in creation order: tests open and close windows thousands of times, so
// the walks below must not grow with every window ever made.
std::vector<size_t> live_indices;
std::vector<standin::ClassInfo> classes;
// Class and menu names of registered classes; never freed, so that a class record a test copied
// keeps valid strings even after reset().
std::deque<std::string> kept_names;
std::deque<MSG> queue;       // posted messages
std::deque<MSG> input_queue; // the user's keys, read after the posted messages
HWND loop_filter = nullptr;  // the window argument of the GetMessageA under way
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
int boxes_up_count = 0;
unsigned resets = 0; // a box up across reset() belongs to a desktop that is gone

const char* const predefined_classes[] = {"button", "static", "edit"};

bool same_name(const std::string& a, const char* b) {
    return b != nullptr && !IS_INTRESOURCE(b) && strcasecmp(a.c_str(), b) == 0;
}

// The predefined class of that name in its canonical spelling, or null.
const char* predefined_class(const char* class_name) {
    for (const char* name : predefined_classes)
        if (same_name(name, class_name))
            return name;
    return nullptr;
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
    if (value == 0) {
        note_misuse(caller, "null window handle");
        return nullptr;
    }
    if (value % handle_step == 0 && value / handle_step >= first_handle_number &&
        index_of(window) < windows.size())
        return &windows[index_of(window)];
    note_misuse(caller, "unknown window handle");
    return nullptr;
}

WindowRecord* live(HWND window, const char* caller) {
    WindowRecord* record = lookup(window, caller);
    return record != nullptr && record->info.alive ? record : nullptr;
}

// A class given by name (any case) or by the atom RegisterClassExA returned.
standin::ClassInfo* find_class(const char* name) {
    if (name == nullptr)
        return nullptr;
    if (IS_INTRESOURCE(name)) {
        size_t atom = reinterpret_cast<uintptr_t>(name);
        return atom > first_atom && atom - first_atom <= classes.size()
                   ? &classes[atom - first_atom - 1]
                   : nullptr;
    }
    for (standin::ClassInfo& info : classes)
        if (same_name(info.name, name))
            return &info;
    return nullptr;
}

const char* keep_name(const char* name) {
    if (name == nullptr || IS_INTRESOURCE(name))
        return name;
    kept_names.push_back(name);
    return kept_names.back().c_str();
}

HWND top_level_of(HWND window) {
    while (windows[index_of(window)].info.parent != nullptr)
        window = windows[index_of(window)].info.parent;
    return window;
}

// Whether a person could reach the window: it and every window above it shown and enabled.
bool reachable(HWND window) {
    for (HWND w = window; w != nullptr; w = windows[index_of(w)].info.parent) {
        const standin::WindowInfo& info = windows[index_of(w)].info;
        if (!info.alive || !info.visible || (info.style & WS_DISABLED) != 0)
            return false;
    }
    return true;
}

bool is_class(const WindowRecord& record, const char* name) {
    return record.procedure == nullptr && record.info.class_name == name;
}

LRESULT deliver(HWND window, UINT message, WPARAM wparam, LPARAM lparam, const char* caller);

void notify_parent(const WindowRecord& control, HWND handle, WORD code) {
    if (control.info.parent == nullptr)
        return;
    deliver(control.info.parent, WM_COMMAND, MAKEWPARAM(control.info.id, code),
            reinterpret_cast<LPARAM>(handle), "notify");
}

// A typed character in an edit: it replaces the selection, and Backspace erases the selection or
// the character before the caret. Read-only edits and other control characters change nothing.
void type_into_edit(WindowRecord* edit, HWND handle, char character) {
    std::string& text = edit->info.text;
    size_t start = std::min({edit->selection_start, edit->selection_end, text.size()});
    size_t end = std::min(std::max(edit->selection_start, edit->selection_end), text.size());
    if ((edit->info.style & ES_READONLY) != 0 || (character == '\b' && end == 0))
        return;
    if (character == '\b')
        start = start == end ? start - 1 : start;
    else if ((unsigned char)character < 0x20)
        return;
    text.replace(start, end - start, character == '\b' ? 0 : 1, character);
    edit->selection_start = edit->selection_end = start + (character == '\b' ? 0 : 1);
    notify_parent(*edit, handle, EN_CHANGE);
}

// The predefined controls: text as any window keeps it; a single-line edit reports every
// replacement of its text to its parent, a multi-line one does not; an edit takes typed characters.
LRESULT CALLBACK control_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = DefWindowProcA(window, message, wparam, lparam);
    WindowRecord* record = live(window, "control");
    if (record == nullptr || !is_class(*record, "edit"))
        return result;
    if (message == WM_SETTEXT) {
        record->selection_start = record->selection_end = 0;
        if ((record->info.style & ES_MULTILINE) == 0)
            notify_parent(*record, window, EN_CHANGE);
    } else if (message == WM_CHAR) {
        type_into_edit(record, window, static_cast<char>(wparam));
    }
    return result;
}

LRESULT deliver(HWND window, UINT message, WPARAM wparam, LPARAM lparam, const char* caller) {
    WindowRecord* record = live(window, caller);
    if (record == nullptr)
        return 0;
    WNDPROC procedure = record->procedure != nullptr ? record->procedure : control_procedure;
    return procedure(window, message, wparam, lparam);
}

// Owned windows go first, then the window hears WM_DESTROY, then its children, parent first.
// Procedures may destroy other windows meanwhile, so every walk rechecks who is still alive.
void destroy_tree(HWND window) {
    size_t index = index_of(window);
    windows[index].being_destroyed = true;
    std::vector<size_t> snapshot = live_indices;
    for (size_t i : snapshot)
        if (windows[i].info.owner == window && windows[i].info.alive)
            DestroyWindow(handle_of(i));
    deliver(window, WM_DESTROY, 0, 0, "DestroyWindow");
    snapshot = live_indices;
    for (size_t i : snapshot)
        if (windows[i].info.parent == window && windows[i].info.alive &&
            !windows[i].being_destroyed)
            destroy_tree(handle_of(i));
    windows[index].info.alive = false;
    windows[index].info.visible = false;
    if (focused_window == window)
        focused_window = nullptr;
    live_indices.erase(std::find(live_indices.begin(), live_indices.end(), index));
}

// Whether the loop under way takes the message: a loop for one window takes only the messages of
// that window and of its children.
bool loop_takes(const MSG& msg) {
    if (loop_filter == nullptr)
        return true;
    for (HWND w = msg.hwnd; w != nullptr; w = windows[index_of(w)].info.parent)
        if (w == loop_filter)
            return true;
    return false;
}

// The next message the loop under way takes, posted ones before the user's input. Outside a range
// of messages (other than 0 to 0, every message) they stay queued.
bool take_message(LPMSG msg, UINT first = 0, UINT last = 0) {
    for (std::deque<MSG>* from : {&queue, &input_queue})
        for (auto it = from->begin(); it != from->end(); ++it)
            if (loop_takes(*it) &&
                ((first == 0 && last == 0) || (it->message >= first && it->message <= last))) {
                *msg = *it;
                from->erase(it);
                return true;
            }
    return false;
}

void fill_quit(LPMSG msg, WPARAM code) {
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = code;
}

// The test's idle script acting as the user; true when that gave the loop something to do.
bool run_idle_script() {
    if (!idle_script)
        return false;
    std::function<bool()> script = idle_script; // the script may replace itself or reset()
    return script() && standin::input_pending();
}

// A message box's own loop: messages still reach every window, and the user may act on the
// windows the box does not block, until the user answers it. A quit message ends the box and
// stays posted for the program's loop; a box also goes with its owner.
void run_message_box_loop(HWND owner) {
    HWND outer_filter = loop_filter;
    loop_filter = nullptr;
    for (unsigned desktop = resets; desktop == resets && !quit_pending &&
                                    (owner == nullptr || windows[index_of(owner)].info.alive);) {
        MSG msg;
        if (take_message(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (!run_idle_script()) {
            break;
        }
    }
    loop_filter = outer_filter;
}

} // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR) {
    return reinterpret_cast<HMODULE>(stock_module_value);
}

// Present only in a build with coverage counters (the host-coverage preset links it in), which
// are written at exit: _exit skips that.
extern "C" void __gcov_dump() __attribute__((weak));

void WINAPI ExitProcess(UINT exit_code) {
    fflush(stdout);
    fflush(stderr);
    if (__gcov_dump)
        __gcov_dump();
    _exit(static_cast<int>(exit_code));
}

HICON WINAPI LoadIconA(HINSTANCE module, LPCSTR name) {
    return system_image(system_icons, stock_icon_value, module, name);
}
HCURSOR WINAPI LoadCursorA(HINSTANCE module, LPCSTR name) {
    return system_image(system_cursors, stock_cursor_value, module, name);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* window_class) {
    if (window_class == nullptr || window_class->cbSize != sizeof(WNDCLASSEXA) ||
        window_class->lpszClassName == nullptr || IS_INTRESOURCE(window_class->lpszClassName) ||
        window_class->lpfnWndProc == nullptr) {
        note_misuse("RegisterClassExA", "invalid class record");
        return 0;
    }
    const char* name = window_class->lpszClassName;
    if (same_name(failing_registration, name) || find_class(name) != nullptr)
        return 0;
    standin::ClassInfo info{name, *window_class};
    info.record.lpszClassName = keep_name(name);
    info.record.lpszMenuName = keep_name(window_class->lpszMenuName);
    classes.push_back(info);
    return static_cast<ATOM>(first_atom + classes.size());
}

HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    standin::ClassInfo* registered = find_class(class_name);
    const char* predefined = registered == nullptr ? predefined_class(class_name) : nullptr;
    if (registered == nullptr && predefined == nullptr) {
        note_misuse("CreateWindowExA", IS_INTRESOURCE(class_name)
                                           ? std::string("unknown class atom")
                                           : std::string("unknown class ") + class_name);
        return nullptr;
    }
    // Kept storage: a procedure may register classes during WM_CREATE.
    const char* name = registered != nullptr ? registered->record.lpszClassName : predefined;
    if (same_name(failing_creation, name))
        return nullptr;
    bool child = (style & WS_CHILD) != 0;
    if (child && parent == nullptr) {
        note_misuse("CreateWindowExA", "child window without a parent");
        return nullptr;
    }
    if (parent != nullptr && live(parent, "CreateWindowExA") == nullptr)
        return nullptr;

    WindowRecord record;
    record.info.class_name = name;
    record.info.text = window_name != nullptr ? window_name : "";
    record.info.style = style;
    record.info.ex_style = ex_style;
    record.info.x = x;
    record.info.y = y;
    record.info.width = width;
    record.info.height = height;
    if (child) {
        record.info.id = static_cast<int>(reinterpret_cast<uintptr_t>(menu));
        record.info.parent = parent;
    } else if (parent != nullptr) {
        record.info.owner = top_level_of(parent);
    }
    record.info.instance = instance;
    record.info.alive = true;
    record.info.visible = (style & WS_VISIBLE) != 0;
    record.procedure = registered != nullptr ? registered->record.lpfnWndProc : nullptr;
    windows.push_back(record);
    live_indices.push_back(windows.size() - 1);
    HWND window = handle_of(windows.size() - 1);

    CREATESTRUCTA create{};
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menu;
    create.hwndParent = parent;
    create.cy = height;
    create.cx = width;
    create.y = y;
    create.x = x;
    create.style = static_cast<LONG>(style);
    create.lpszName = window_name;
    create.lpszClass = name;
    create.dwExStyle = ex_style;
    if (deliver(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create), "CreateWindowExA") == -1) {
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

// Messages outside the loop's window or range stay queued; WM_QUIT comes whatever the range, as on
// Windows.
BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT first, UINT last) {
    if (window != nullptr && live(window, "GetMessageA") == nullptr)
        return -1;
    HWND outer_filter = loop_filter;
    loop_filter = window;
    struct Restore {
        HWND filter;
        ~Restore() { loop_filter = filter; }
    } restore{outer_filter};
    for (;;) {
        if (take_message(msg, first, last))
            return TRUE;
        if (quit_pending) {
            quit_pending = false;
            fill_quit(msg, static_cast<WPARAM>(quit_code));
            return 0;
        }
        if (!run_idle_script()) {
            starved_flag = true;
            fill_quit(msg, static_cast<WPARAM>(-1));
            return 0;
        }
    }
}

// The character of a key as the stand-in's keyboard types it (see type_keys), or -1.
int character_of_key(WPARAM key, LPARAM lparam) {
    if ((key >= '0' && key <= '9') || key == VK_SPACE || key == VK_BACK)
        return static_cast<int>(key);
    if (key >= 'A' && key <= 'Z')
        return static_cast<int>(key - 'A' + 'a');
    if (key == VK_OEM_PERIOD || key == VK_OEM_MINUS)
        return key == VK_OEM_PERIOD ? '.' : '-';
    return key == VK_PACKET ? static_cast<int>((lparam >> 16) & 0xFF) : -1;
}

// A key press becomes a posted WM_CHAR, read before the next key.
BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP))
        return FALSE;
    int character = character_of_key(msg->wParam, msg->lParam);
    if (msg->message == WM_KEYDOWN && character >= 0)
        PostMessageA(msg->hwnd, WM_CHAR, static_cast<WPARAM>(character), msg->lParam);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr)
        return 0;
    return deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam, "DispatchMessageA");
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
        size_t count = std::min<size_t>(record->info.text.size(), wparam - 1);
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
    return deliver(window, message, wparam, lparam, "SendMessageA");
}

BOOL WINAPI FlashWindow(HWND window, BOOL) {
    if (live(window, "FlashWindow") != nullptr)
        flashed_log.push_back(window);
    return FALSE;
}

HWND WINAPI SetFocus(HWND window) {
    if (window != nullptr && live(window, "SetFocus") == nullptr)
        return nullptr;
    focused_log.push_back(window);
    HWND previous = focused_window;
    focused_window = window;
    return previous;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    // The box blocks its owner's top-level window; one whose owner is gone goes at once.
    HWND blocked = nullptr;
    if (owner != nullptr && live(owner, "MessageBoxA") != nullptr)
        blocked = top_level_of(owner);
    standin::MessageBoxRecord box{owner, text != nullptr ? text : "", caption == nullptr,
                                  caption != nullptr ? caption : "", type};
    message_box_log.push_back(box);
    unsigned desktop = resets;
    std::function<void(const standin::MessageBoxRecord&)> handler = message_box_handler;
    if (handler)
        handler(box);
    if (desktop != resets || (owner != nullptr && blocked == nullptr))
        return IDOK;
    // A window that an outer box disabled stays disabled until that box goes.
    bool enables_again =
        blocked != nullptr && (windows[index_of(blocked)].info.style & WS_DISABLED) == 0;
    if (enables_again)
        windows[index_of(blocked)].info.style |= WS_DISABLED;
    ++boxes_up_count;
    run_message_box_loop(blocked);
    if (desktop != resets)
        return IDOK;
    --boxes_up_count;
    if (enables_again)
        windows[index_of(blocked)].info.style &= ~WS_DISABLED;
    return IDOK;
}

int WINAPI GetWindowTextLengthA(HWND window) {
    return static_cast<int>(deliver(window, WM_GETTEXTLENGTH, 0, 0, "GetWindowTextLengthA"));
}

int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int buffer_size) {
    if (buffer == nullptr || buffer_size <= 0)
        return 0;
    return static_cast<int>(deliver(window, WM_GETTEXT, static_cast<WPARAM>(buffer_size),
                                    reinterpret_cast<LPARAM>(buffer), "GetWindowTextA"));
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    return static_cast<BOOL>(
        deliver(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), "SetWindowTextA"));
}

namespace standin {

void reset() {
    first_handle_number += windows.size() + 1;
    windows.clear();
    live_indices.clear();
    classes.clear();
    queue.clear();
    input_queue.clear();
    loop_filter = nullptr;
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
    boxes_up_count = 0;
    ++resets;
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

HICON stock_icon() {
    return reinterpret_cast<HICON>(stock_icon_value);
}
HCURSOR stock_cursor() {
    return reinterpret_cast<HCURSOR>(stock_cursor_value);
}
const char* system_image_name(HICON image) {
    const char* icon = ::system_image_name(system_icons, stock_icon_value, image);
    return icon ? icon : ::system_image_name(system_cursors, stock_cursor_value, image);
}
HMODULE stock_module() {
    return reinterpret_cast<HMODULE>(stock_module_value);
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
    if (record == nullptr)
        return;
    if (!reachable(control)) {
        note_misuse("click", "window hidden or disabled");
        return;
    }
    DWORD style = record->info.style;
    bool clickable_button =
        is_class(*record, "button") && (style & BS_TYPEMASK) != static_cast<DWORD>(BS_GROUPBOX);
    bool notifying_static = is_class(*record, "static") && (style & SS_NOTIFY) != 0;
    if (clickable_button || notifying_static)
        notify_parent(*record, control, BN_CLICKED);
}

void type_text(HWND edit, const std::string& text) {
    WindowRecord* record = live(edit, "type_text");
    if (record == nullptr)
        return;
    if (!is_class(*record, "edit") || (record->info.style & ES_READONLY) != 0 || !reachable(edit)) {
        note_misuse("type_text", "not an edit a person can type into");
        return;
    }
    record->info.text = text;
    notify_parent(*record, edit, EN_CHANGE);
}

// The key that types a byte: digits, letters, '.', '-', space and Backspace have keys of their own,
// any other byte is a VK_PACKET key that carries it in the scan code's place.
void queue_key(HWND edit, unsigned char byte) {
    WPARAM key = VK_PACKET;
    if ((byte >= '0' && byte <= '9') || byte == ' ' || byte == '\b')
        key = byte;
    else if (byte >= 'a' && byte <= 'z')
        key = byte - 'a' + 'A';
    else if (byte == '.' || byte == '-')
        key = byte == '.' ? VK_OEM_PERIOD : VK_OEM_MINUS;
    LPARAM lparam = 1 | (key == VK_PACKET ? static_cast<LPARAM>(byte) << 16 : 0);
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        MSG msg{};
        msg.hwnd = edit;
        msg.message = message;
        msg.wParam = key;
        msg.lParam = message == WM_KEYUP ? lparam | static_cast<LPARAM>(0xC0000000u) : lparam;
        input_queue.push_back(msg);
    }
}

void type_keys(HWND edit, const std::string& keys) {
    WindowRecord* record = live(edit, "type_keys");
    if (record == nullptr)
        return;
    if (!is_class(*record, "edit") || (record->info.style & ES_READONLY) != 0 || !reachable(edit)) {
        note_misuse("type_keys", "not an edit a person can type into");
        return;
    }
    focused_window = edit;
    record->selection_start = 0;
    record->selection_end = record->info.text.size();
    for (unsigned char byte : keys)
        queue_key(edit, byte);
}

void close(HWND window) {
    if (live(window, "close") == nullptr)
        return;
    if (!reachable(window)) {
        note_misuse("close", "window hidden or disabled");
        return;
    }
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

int boxes_up() {
    return boxes_up_count;
}

HWND focus() {
    return focused_window;
}

void on_idle(std::function<bool()> script) {
    idle_script = std::move(script);
}
bool starved() {
    return starved_flag;
}
bool input_pending() {
    return quit_pending || std::any_of(queue.begin(), queue.end(), loop_takes) ||
           std::any_of(input_queue.begin(), input_queue.end(), loop_takes);
}
const std::vector<std::string>& misuse() {
    return misuse_log;
}

} // namespace standin

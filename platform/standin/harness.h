// Test-side control of the window-system stand-in: find windows, act as the user and the platform
// do, and read what the program showed. The programs never include this header.
#pragma once

#include "platform/standin/winapi.h"

#include <functional>
#include <string>
#include <vector>

namespace standin {

// Forgets every window, class, queued message and log: a fresh desktop for the next test.
void reset();

// What the window system knows of a window; valid for destroyed windows too.
struct WindowInfo {
    std::string class_name;
    std::string text;
    DWORD style = 0;
    DWORD ex_style = 0;
    int x = 0, y = 0, width = 0, height = 0;
    int id = 0;      // the menu argument of a child
    HWND parent = 0; // children: the parent window
    HWND owner = 0;  // top-level windows created with a parent argument: its top-level window
    HINSTANCE instance = 0;
    bool alive = false; // not yet destroyed
    bool visible = false;
};
WindowInfo describe(HWND window);
bool is_alive(HWND window);

// Registered window classes, in registration order. The record is the caller's copy, except that
// its name strings point to storage of the stand-in that lives for the whole process.
struct ClassInfo {
    std::string name;
    WNDCLASSEXA record;
};
std::vector<ClassInfo> registered_classes();
// Refusals a test can provoke; nullptr clears.
void fail_registration_of(const char* class_name); // RegisterClassExA of that name returns 0
void fail_creation_of(const char* class_name); // CreateWindowExA of that class returns null without
                                               // calling its procedure

// What LoadIconA, LoadCursorA and GetModuleHandleA(NULL) return: fixed, distinct, non-null. The
// icon is IDI_APPLICATION's, the cursor IDC_ARROW's.
HICON stock_icon();
HCURSOR stock_cursor();
// Which of the system's icons or cursors a handle is ("IDI_APPLICATION", "IDC_ARROW", ...), or
// null.
const char* system_image_name(HICON image);
HMODULE stock_module();

// Latest live top-level window of a class, or null.
HWND find_top_level(const char* class_name);
// Live top-level windows in creation order.
std::vector<HWND> top_level_windows();
// Live children in creation order; IDs may repeat (222), so also by position.
std::vector<HWND> children(HWND parent);
HWND child_by_id(HWND parent, int id, int nth = 0); // nth child with that ID, or null
HWND child_at(HWND parent, int creation_index);     // or null

// The user's actions, delivered as the platform delivers them. A person reaches only controls that
// are shown and enabled, with every window above them; acting on any other is noted in misuse().
// A button, or a static with SS_NOTIFY, sends its parent WM_COMMAND(id, BN_CLICKED, control);
// other windows (edits, plain statics, group boxes) send nothing.
void click(HWND control);
// Replaces the text of an edit that is not read-only; the parent gets WM_COMMAND(id, EN_CHANGE).
void type_text(HWND edit, const std::string& text);
// The same on the keyboard: the user clicks into the edit, which takes the focus, selects its text
// and types the bytes as key presses (0x08 is Backspace). The keys wait in the input queue for the
// program's loop; only TranslateMessage turns them into the characters the edit inserts, each
// reported to the parent with EN_CHANGE.
void type_keys(HWND edit, const std::string& keys);
void close(HWND window); // the close box: WM_CLOSE to the window, if the user can reach it
std::string text_of(HWND window);

// Everything the program showed, in order.
struct MessageBoxRecord {
    HWND owner;
    std::string text;
    bool null_title;
    std::string title;
    UINT type;
};
const std::vector<MessageBoxRecord>& message_boxes();
const std::vector<HWND>& flashed_windows();
const std::vector<HWND>& focused_windows();
// Called when a message box comes up, before its loop runs. The handler may replace itself or
// call reset().
void on_message_box(std::function<void(const MessageBoxRecord&)> handler);
// Message boxes up now: each runs its own loop inside MessageBoxA, nested in the program's.
int boxes_up();
// The window that SetFocus, or the user's typing, last gave the focus to while it lives, or null.
HWND focus();

// What happens when a loop finds no message: the script acts as the user. In the program's loop,
// when the script returns false or leaves the queue empty with no quit posted, GetMessageA ends
// the loop (returning 0 with WM_QUIT and wParam (WPARAM)-1) and starved() becomes true, so a test
// never hangs. In a message box's loop the same answers the box (OK). Without a script an empty
// queue starves at once, and a box is answered at once.
void on_idle(std::function<bool()> script);
bool starved();
// Whether the loop has something to do before it would ask the script again: a queued message it
// takes (one its window filter leaves waiting does not count) or a posted quit.
bool input_pending();

// Failures that a real window system would not report but a test should: a call with a handle
// that never existed (or null where a window is needed), an unknown class, a child without a
// parent, a user action on a control a person cannot reach. Stale handles are harmless and are
// not listed.
const std::vector<std::string>& misuse();

} // namespace standin

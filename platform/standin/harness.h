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
    int id = 0;         // the menu argument of a child
    HWND parent = 0;    // children: the parent window
    HWND owner = 0;     // top-level windows created with a parent argument: the owner
    bool alive = false; // not yet destroyed
    bool visible = false;
};
WindowInfo describe(HWND window);
bool is_alive(HWND window);

// Registered window classes, in registration order.
struct ClassInfo {
    std::string name;
    WNDCLASSEXA record;
};
std::vector<ClassInfo> registered_classes();
// Refusals a test can provoke; nullptr clears.
void fail_registration_of(const char* class_name); // RegisterClassExA of that name returns 0
void fail_creation_of(const char* class_name); // CreateWindowExA of that class returns null without
                                               // calling its procedure

// Latest live top-level window of a class, or null.
HWND find_top_level(const char* class_name);
// Live top-level windows in creation order.
std::vector<HWND> top_level_windows();
// Live children in creation order; IDs may repeat (222), so also by position.
std::vector<HWND> children(HWND parent);
HWND child_by_id(HWND parent, int id, int nth = 0); // nth child with that ID, or null
HWND child_at(HWND parent, int creation_index);     // or null

// The user's actions, delivered as the platform delivers them.
void click(HWND control); // parent gets WM_COMMAND(id, BN_CLICKED, control)
void type_text(HWND edit, const std::string& text); // replaces the text; parent gets EN_CHANGE
void close(HWND window);                            // the close box: WM_CLOSE to the window
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
// Called while a message box is up, as a modal box would let the test look at the screen.
void on_message_box(std::function<void(const MessageBoxRecord&)> handler);

// What happens when the message loop finds no message: the script acts as the user. When the
// script returns false, or leaves the queue empty, GetMessageA ends the loop (returning 0 with
// exit code -1 in the message) and starved() becomes true, so a test never hangs.
void on_idle(std::function<bool()> script);
bool starved();

// Failures that a real window system would not report but a test should: e.g. a call with a
// handle that never existed. Stale handles are harmless and are not listed.
const std::vector<std::string>& misuse();

} // namespace standin

// The reviewed snapshots of the programs' windows (tests/shipped/windows/<deliverable>.txt), the
// one statement of every window's controls: each top-level window and its controls in creation
// order, one control a line, texts as text and styles as flag names, so that a diff reads like the
// change it is. `shipped_runner --snapshot` writes them; every player of the end-to-end scenario
// compares what a program shows with them, through one comparison (window_differences).
#pragma once

#include "tests/shipped/runner_output.h"

#include <string>
#include <vector>

// Windows-1251 bytes as a quoted UTF-8 text: \" \\ \r \n \t, and \xHH for any other control byte,
// for the byte that Windows-1251 leaves unassigned and for the invisible no-break space and soft
// hyphen. Every byte string has exactly one quoted form.
std::string quoted_text(const std::string& bytes);

// Enough JSON for the runner's output: objects, lists, strings with every escape the runner writes
// (a byte outside printable ASCII is \u00XX), integers, true, false and null.
struct Json {
    std::string text; // strings; numbers and literals as written
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> fields;

    const Json& operator[](const std::string& key) const;
    long number() const;
};
Json parse_json(const std::string& line);

// A top-level window as listed: its place on the screen, its caption in `window.text`; each
// control's place relative to its window.
struct ShownWindow {
    std::string name, owner; // main, task1, task2 or task3; the owner's name, or empty
    ListedWindow window;
    std::vector<ListedWindow> controls;
};

// A window of the runner's `windows` output; false when the line is none.
bool window_of_listing(const std::string& json_line, ShownWindow* window);

// The window's lines in a snapshot: the window, then each control.
std::string snapshot_lines(const ShownWindow& window);

struct WindowSnapshot {
    std::vector<std::string> actions; // the runner's script that opens the windows
    std::vector<ShownWindow> windows;

    const ShownWindow* find(const std::string& name) const; // null when there is none
};

// False, with the file and line of the problem, when the file cannot be read as a snapshot.
bool read_window_snapshot(const std::string& path, WindowSnapshot* snapshot, std::string* problem);
std::string snapshot_text(const WindowSnapshot& snapshot);

// Every way `shown` differs from `expected`, one line each. On the stand-in they must be alike;
// on a real window system a top-level window may differ only in what the system adds to it
// (WS_VISIBLE, WS_CLIPSIBLINGS, WS_CAPTION, WS_EX_WINDOWEDGE) and in a place it chose
// (CW_USEDEFAULT).
std::vector<std::string> window_differences(const ShownWindow& expected, const ShownWindow& shown,
                                            bool real_window_system);

// The end-to-end scenario of one deliverable: its expectations (expectations.cpp) turned into one
// list of user steps and what each must show. The Wine driver plays it on the real windows, the
// shipped-program tests through the script runner; neither spells the scenario out itself.
#pragma once

#include "tests/e2e/expectations.h"

#include <string>
#include <vector>

// Windows by number: 0 is the main window, 1 to 3 the task windows, named as the runner and the
// window snapshots name them.
inline const char* window_name(int window) {
    static const char* const names[] = {"main", "task1", "task2", "task3"};
    return names[window];
}

struct ExpectedBox {
    int owner;
    const char* text; // shown with the system's default title, one OK button, the information icon
};

enum class Act {
    start,      // the program starts and its main window appears
    check_main, // it is as its snapshot has it (class, caption, place, size, styles, every
                // control with its text), has a fixed size with close and minimize boxes, and
                // every label holds its text on one line (where fonts are real)
    open,       // a click on launch button `id` opens task window `window`, the only one of its
                // class, owned by the main window, checked as the main window is
    type,       // the user types `fields` ('\b' is Backspace), and each then holds what was typed
    click,      // a click on control `id` of `window`: `boxes` come up in turn, each answered OK
    click_and_hold, // the same, but its one box stays up: the steps up to `answer` are taken
                    // while it is, on the windows it does not block
    answer,         // the user answers the box of the latest click_and_hold
    expect,         // `fields` hold their texts
    notice,      // a second click on launch button `id` of open task window `window`: `boxes` (the
                 // notice), or without one, the window flashes and takes the focus; no new window
    close,       // the window's close box
    exit,        // the program has ended with exit code 0 (a box still up went with it)
    screenshot,  // of `window`, named `what` (where there is a screen)
    windows,     // every open window, in order, as the deliverable's snapshot has them
    classes,     // the class of every window: its cursor, icons, background and style, one setup
                 // for all four (behaviours.h: class_setups)
    expect_part, // `fields` hold their texts within theirs
};

struct Step {
    Act act;
    int window;
    int id;
    std::vector<FieldText> fields; // controls by creation order
    std::vector<ExpectedBox> boxes;
    std::string what;       // names the step in failure messages
    std::string walks = ""; // the behaviours of the inventory it walks (behaviours.h)
    int times = 1;          // a click: so many in a row, each with its boxes
};

// The tour only opens the main window and each task window and runs each task once.
std::vector<Step> scenario(const Deliverable& deliverable, bool tour);

// What a field holds once `keys` are typed over its text: each '\b' erases the character before.
std::string typed_text(const std::string& keys);

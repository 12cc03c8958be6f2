// Drives a whole program through app_main on the window-system stand-in: the test acts as the
// user once the message loop waits for input.
#pragma once

#include "platform/standin/harness.h"

#include <functional>
#include <string>

// The program's globals as a fresh process has them.
void reset_program_state();

// Fresh desktop and program state, then app_main; `user` runs when the loop first waits for
// input. Afterwards the main window is closed as by its close box. Returns app_main's result.
int run_program(const std::function<void()>& user);
// The same, but nothing is closed for the user: the actions must end the program themselves.
int run_program_until_exit(const std::function<void()>& user);

HWND main_window();
// task: 1, 2 or 3.
HWND launch_button(int task);
// Clicks the task's launch button; returns the live task window, or null.
HWND open_task_window(int task);
HWND task_window(int task);
HWND child_with_id(HWND window, int id);
void click_id(HWND window, int id);

void type(HWND edit, const std::string& text);
std::string text(HWND window);

// Message box texts shown since the program started, in order.
std::vector<std::string> box_texts();

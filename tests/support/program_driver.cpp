#include "tests/support/program_driver.h"

#include "numtext/numtext.h"
#include "shell/shell.h"
#include "tasks/array/array.h"
#include "variants/profile.h"

#include <gtest/gtest.h>

namespace {

const char* const task_classes[] = {"Window1", "Window2", "Window3"};

int run(const std::function<void()>& user, bool close_afterwards) {
    standin::reset();
    reset_program_state();
    bool acted = false;
    standin::on_idle([&]() {
        if (acted)
            return false;
        acted = true;
        user();
        HWND main = main_window();
        if (close_afterwards && main)
            standin::close(main);
        return true;
    });
    int exit_code = app_main(GetModuleHandleA(0));
    EXPECT_FALSE(standin::starved()) << "the program's loop ran out of input";
    return exit_code;
}

} // namespace

void reset_program_state() {
    window1_open = window2_open = window3_open = 0;
    window1_handle = window2_handle = window3_handle = 0;
    results_text[0] = 0;
    element_count = 0;
}

int run_program(const std::function<void()>& user) {
    return run(user, true);
}
int run_program_until_exit(const std::function<void()>& user) {
    return run(user, false);
}

HWND main_window() {
    return standin::find_top_level("cl_main");
}

HWND launch_button(int task) {
    return child_with_id(main_window(), profile.task_windows[task - 1].launch_id);
}

HWND open_task_window(int task) {
    standin::click(launch_button(task));
    return task_window(task);
}

HWND task_window(int task) {
    return standin::find_top_level(task_classes[task - 1]);
}

HWND child_with_id(HWND window, int id) {
    return standin::child_by_id(window, id);
}

void click_id(HWND window, int id) {
    HWND control = child_with_id(window, id);
    EXPECT_NE(control, nullptr) << "no control with ID " << id;
    standin::click(control);
}

void type(HWND edit, const std::string& text) {
    standin::type_text(edit, text);
}

std::string text(HWND window) {
    return standin::text_of(window);
}

std::vector<std::string> box_texts() {
    std::vector<std::string> texts;
    for (const standin::MessageBoxRecord& box : standin::message_boxes())
        texts.push_back(box.text);
    return texts;
}

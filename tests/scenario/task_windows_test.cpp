// What the windows' controls do and which of them the tasks read and write; their layout and texts
// are the window snapshots' (tests/shipped/windows/), compared by the end-to-end scenario. (That
// the operations' handles are edits of the right kind is checked when each profile compiles:
// variants/profile_check.cpp.)
#include "shell/shell.h"
#include "tasks/array/array.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"

#include <gtest/gtest.h>

namespace {

// Counts by sign: each goes to the field that its label names, though all three look alike.
TEST(TaskWindowLayout, PracticeV8CountsGoToTheirLabelledFields) {
    if (!is_deliverable("practice_v8"))
        GTEST_SKIP();
    run_program([] {
        std::vector<HWND> controls = standin::children(open_task_window(3));
        ASSERT_EQ(controls.size(), 15u);
        EXPECT_EQ(controls[9], task3_c_edit);
        EXPECT_EQ(controls[11], task3_element_edit);
        EXPECT_EQ(controls[12], task3_negative_edit);
        EXPECT_EQ(controls[14], task3_positive_edit);
    });
}

TEST(TaskWindowLayout, LabelClicksAndEditNotificationsDoNothing) {
    run_program([] {
        for (int task = 1; task <= 3; ++task) {
            HWND window = open_task_window(task);
            std::vector<std::string> before;
            for (HWND control : standin::children(window))
                before.push_back(text(control));
            for (HWND control : standin::children(window)) {
                standin::WindowInfo info = standin::describe(control);
                if (info.class_name == "static")
                    standin::click(control);
                SendMessageA(window, WM_COMMAND, MAKEWPARAM(info.id, 0), 0);
                SendMessageA(window, WM_COMMAND, MAKEWPARAM(info.id, EN_CHANGE), (LPARAM)control);
            }
            std::vector<std::string> after;
            for (HWND control : standin::children(window))
                after.push_back(text(control));
            EXPECT_EQ(after, before) << "task " << task;
        }
        EXPECT_TRUE(standin::message_boxes().empty());
        EXPECT_EQ(element_count, 0);
    });
}

} // namespace

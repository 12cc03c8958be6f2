// The shell through app_main where the end-to-end scenario (scenario_test.cpp) does not reach:
// the classes, start-up failures, the message loop, a task window that cannot be created, commands
// that must do nothing, the exit and About buttons.
#include "shell/shell.h"
#include "tasks/array/array.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"
#include "variants/profile.h"

#include <gtest/gtest.h>

namespace {

TEST(Startup, OneClassSetupRegisteredFourTimes) {
    run_program([] {});
    std::vector<standin::ClassInfo> classes = standin::registered_classes();
    ASSERT_EQ(classes.size(), 4u);
    const char* const names[] = {"cl_main", "Window1", "Window2", "Window3"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(classes[i].name, names[i]);
        EXPECT_EQ(classes[i].record.cbSize, sizeof(WNDCLASSEXA));
        EXPECT_EQ(classes[i].record.style, (UINT)CS_BYTEALIGNCLIENT);
        EXPECT_EQ(classes[i].record.hbrBackground, (HBRUSH)(UINT_PTR)(COLOR_BTNFACE + 1));
        EXPECT_EQ(classes[i].record.hIcon, LoadIconA(0, IDI_APPLICATION));
        EXPECT_EQ(classes[i].record.hIconSm, classes[i].record.hIcon);
        EXPECT_EQ(classes[i].record.hCursor, LoadCursorA(0, IDC_ARROW));
        EXPECT_EQ(classes[i].record.lpszMenuName, nullptr);
        EXPECT_EQ(classes[i].record.hInstance, GetModuleHandleA(0));
        EXPECT_EQ(classes[i].record.cbClsExtra, 0);
        EXPECT_EQ(classes[i].record.cbWndExtra, 0);
    }
    EXPECT_EQ(classes[0].record.lpfnWndProc, main_window_proc);
}

TEST(Startup, EndsWithExitCodeOneWhenTheShellCannotStart) {
    for (const char* failing_class : {"cl_main", "Window3"}) {
        standin::reset();
        standin::fail_registration_of(failing_class);
        EXPECT_EQ(app_main(GetModuleHandleA(0)), 1) << failing_class;
    }
    standin::reset();
    standin::fail_creation_of("cl_main");
    EXPECT_EQ(app_main(GetModuleHandleA(0)), 1);
}

TEST(Startup, ProgramEntryExitsWithTheLoopsCode) {
    EXPECT_EXIT(
        {
            standin::reset();
            standin::on_idle([] {
                standin::close(main_window());
                return true;
            });
            program_entry();
        },
        testing::ExitedWithCode(0), "");
}

TEST(Loop, DispatchesWhatIsQueued) {
    // On Windows the user's input reaches the windows through the loop, not straight as here.
    int exit_code = run_program_until_exit([] {
        PostMessageA(main_window(), WM_COMMAND,
                     MAKEWPARAM(profile.task_windows[0].launch_id, BN_CLICKED),
                     (LPARAM)launch_button(1));
        PostMessageA(main_window(), WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(exit_code, 0);
    EXPECT_EQ(standin::describe(window1_handle).class_name, "Window1");
}

TEST(Launching, FailedCreationLeavesTheTaskReachable) {
    run_program([] {
        standin::fail_creation_of("Window2");
        standin::click(launch_button(2));
        EXPECT_EQ(window2_open, 0);
        EXPECT_EQ(task_window(2), nullptr);
        standin::fail_creation_of(nullptr);
        EXPECT_NE(open_task_window(2), nullptr);
        EXPECT_EQ(window2_open, 1);
    });
}

TEST(Commands, ThoseThatMustDoNothingDoNothing) {
    run_program([] {
        HWND main = main_window();
        for (int task = 1; task <= 3; ++task) {
            int id = profile.task_windows[task - 1].launch_id;
            SendMessageA(main, WM_COMMAND, MAKEWPARAM(id, 0), 0); // menu or accelerator
            SendMessageA(main, WM_COMMAND, MAKEWPARAM(id, 1), (LPARAM)launch_button(task));
        }
        for (HWND control : standin::children(main))
            if (standin::describe(control).class_name == "static")
                standin::click(control); // labels notify, but no launch ID is theirs
        EXPECT_EQ(standin::top_level_windows().size(), 1u);
        EXPECT_TRUE(standin::message_boxes().empty());
    });
}

TEST(Commands, AControlWhoseHandleReadsNegativeStillClicks) {
    // Windows' handles are 32-bit values, sign-extended on 64-bit Windows: only 0 is no control.
    run_program([] {
        SendMessageA(main_window(), WM_COMMAND,
                     MAKEWPARAM(profile.task_windows[0].launch_id, BN_CLICKED), (LPARAM)-16);
        EXPECT_NE(task_window(1), nullptr);
    });
}

TEST(Ending, ExitButtonEndsWithoutDestroyingAnyWindow) {
    if (!profile.exit_id)
        GTEST_SKIP() << "no exit button";
    std::vector<HWND> windows;
    int exit_code = run_program_until_exit([&] {
        for (int task = 1; task <= 3; ++task)
            open_task_window(task);
        windows = standin::top_level_windows();
        click_id(main_window(), profile.exit_id);
    });
    EXPECT_EQ(exit_code, 0);
    ASSERT_EQ(windows.size(), 4u);
    for (HWND window : windows)
        EXPECT_TRUE(standin::is_alive(window));
    EXPECT_EQ(window1_open + window2_open + window3_open, 3);
}

TEST(Ending, AboutButtonShowsTheCreditOnly) {
    if (!profile.about_id)
        GTEST_SKIP() << "no About button";
    run_program([] {
        click_id(main_window(), profile.about_id);
        ASSERT_EQ(standin::message_boxes().size(), 1u);
        const standin::MessageBoxRecord& box = standin::message_boxes()[0];
        EXPECT_EQ(box.owner, main_window());
        EXPECT_EQ(box.text, profile.about_text);
        EXPECT_TRUE(box.null_title);
        EXPECT_EQ(standin::top_level_windows().size(), 1u);
    });
}

} // namespace

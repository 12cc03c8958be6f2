// The shell through app_main: classes, the main window, launching and the already-open notice,
// commands that must do nothing, and the ways the program ends.
#include "shell/shell.h"
#include "tasks/array/array.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"
#include "variants/profile.h"

#include <gtest/gtest.h>

namespace {

const DWORD task_window_style = WS_OVERLAPPED | WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX;
const unsigned char* const open_flags[] = {&window1_open, &window2_open, &window3_open};

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

TEST(Startup, MainWindowHasItsCaptionPlaceAndFixedSize) {
    standin::WindowInfo main;
    run_program([&] { main = standin::describe(main_window()); });
    const MainWindowSpec& spec = profile.main_window;
    EXPECT_EQ(main.text, spec.caption);
    EXPECT_EQ(main.style, (DWORD)(WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX));
    EXPECT_EQ(main.ex_style, 0u);
    EXPECT_TRUE(main.visible);
    EXPECT_EQ(main.owner, nullptr);
    EXPECT_EQ(main.width, spec.width);
    EXPECT_EQ(main.height, spec.height);
    if (is_deliverable("practice_v1")) {
        EXPECT_EQ(main.x, CW_USEDEFAULT);
        EXPECT_EQ(main.y, CW_USEDEFAULT);
    } else {
        EXPECT_NE(main.x, CW_USEDEFAULT);
    }
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

TEST(Launching, EachButtonOpensItsTaskWindowOnce) {
    run_program([] {
        for (int task = 1; task <= 3; ++task) {
            SCOPED_TRACE(task);
            const TaskWindowSpec& spec = profile.task_windows[task - 1];
            HWND window = open_task_window(task);
            ASSERT_NE(window, nullptr);
            standin::WindowInfo info = standin::describe(window);
            EXPECT_EQ(info.class_name, spec.class_name);
            EXPECT_EQ(info.text, spec.caption);
            EXPECT_EQ(info.style, task_window_style);
            EXPECT_EQ(info.owner, main_window());
            EXPECT_EQ(info.parent, nullptr);
            EXPECT_EQ(std::vector<int>({info.x, info.y, info.width, info.height}),
                      std::vector<int>({spec.x, spec.y, spec.width, spec.height}));
            EXPECT_EQ(*open_flags[task - 1], 1);

            size_t windows_before = standin::top_level_windows().size();
            size_t boxes_before = standin::message_boxes().size();
            standin::click(launch_button(task));
            EXPECT_EQ(standin::top_level_windows().size(), windows_before);
            EXPECT_EQ(task_window(task), window);
            if (profile.already_open.kind == flash_and_focus) {
                EXPECT_EQ(standin::flashed_windows().back(), window);
                EXPECT_EQ(standin::focused_windows().back(), window);
                EXPECT_EQ(standin::message_boxes().size(), boxes_before);
            } else {
                ASSERT_EQ(standin::message_boxes().size(), boxes_before + 1);
                const standin::MessageBoxRecord& box = standin::message_boxes().back();
                EXPECT_EQ(box.owner, main_window());
                EXPECT_EQ(box.text, profile.already_open.text);
                EXPECT_TRUE(box.null_title);
                EXPECT_EQ(box.type, (UINT)(MB_OK | MB_ICONINFORMATION));
                EXPECT_TRUE(standin::flashed_windows().empty());
            }
        }
    });
}

TEST(Launching, ClosedTaskWindowReopensFresh) {
    run_program([] {
        for (int task = 1; task <= 3; ++task) {
            HWND first = open_task_window(task);
            std::vector<HWND> first_controls = standin::children(first);
            ASSERT_FALSE(first_controls.empty());
            for (HWND control : first_controls)
                if (standin::describe(control).class_name == "edit" &&
                    !(standin::describe(control).style & ES_READONLY))
                    type(control, "changed");
            standin::close(first);
            EXPECT_FALSE(standin::is_alive(first));
            EXPECT_EQ(*open_flags[task - 1], 0);
            EXPECT_TRUE(standin::message_boxes().empty());

            HWND second = open_task_window(task);
            ASSERT_NE(second, nullptr);
            EXPECT_NE(second, first);
            const ControlTable& table = task == 1   ? profile.tabulation.controls
                                        : task == 2 ? profile.expression.controls
                                                    : profile.array.controls;
            std::vector<HWND> controls = standin::children(second);
            ASSERT_EQ(controls.size(), (size_t)table.count);
            for (int i = 0; i < table.count; ++i)
                EXPECT_EQ(text(controls[i]), table.rows[i].text) << "control " << i + 1;
        }
    });
}

TEST(Launching, OpeningTaskThreeEmptiesTheStore) {
    run_program([] {
        element_count = 42;
        open_task_window(3);
        EXPECT_EQ(element_count, 0);
    });
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

TEST(Ending, ClosingTheMainWindowDestroysTheTaskWindowsFirst) {
    std::vector<HWND> task_windows;
    int exit_code = run_program([&] {
        for (int task = 1; task <= 3; ++task)
            task_windows.push_back(open_task_window(task));
    });
    EXPECT_EQ(exit_code, 0);
    for (HWND window : task_windows)
        EXPECT_FALSE(standin::is_alive(window));
    EXPECT_EQ(window1_open + window2_open + window3_open, 0);
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

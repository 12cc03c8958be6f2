// Hostile input through the windows: whatever is typed, every click returns promptly, writes
// only inside its buffers and leaves the program working for the next user action.
#include "numtext/numtext.h"
#include "shell/shell.h"
#include "tasks/array/array.h"
#include "tasks/expression/expression.h"
#include "tasks/tabulation/tabulation.h"
#include "tests/support/input_texts.h"
#include "tests/support/program_driver.h"
#include "variants/profile.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

// Everything a formatted result can look like: at most 17 characters.
void expect_result_text(const std::string& shown) {
    EXPECT_LE(shown.size(), formatted_size - 1) << shown.substr(0, 40);
    EXPECT_FALSE(shown.empty());
}

double seconds_since(std::chrono::steady_clock::time_point started) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

void click_timed(HWND window, int id) {
    auto started = std::chrono::steady_clock::now();
    click_id(window, id);
    EXPECT_LT(seconds_since(started), 5.0 * TEST_TIME_SCALE) << "click on " << id;
}

std::string default_run_of_every_task() {
    std::string shown;
    run_program([&] {
        HWND window = open_task_window(1);
        click_id(window, profile.tabulation.execute_id);
        shown += text(task1_result_edit) + "|";
        window = open_task_window(2);
        click_id(window, profile.expression.execute_id);
        shown += text(task2_result_edit) + "|";
        window = open_task_window(3);
        click_id(window, profile.array.add_id);
        click_id(window, profile.array.execute_id);
        shown += text(profile.array.counts_by_sign ? task3_positive_edit : task3_result_edit);
    });
    return shown;
}

TEST(HostileInput, EveryTextInEveryInputOfEveryTask) {
    const std::string normal = default_run_of_every_task();
    const std::vector<std::string>& texts = hostile_texts();
    run_program([&] {
        HWND task1 = open_task_window(1), task2 = open_task_window(2), task3 = open_task_window(3);
        for (const std::string& hostile : texts) {
            SCOPED_TRACE("text " + hostile.substr(0, 20) + " (" + std::to_string(hostile.size()) +
                         " characters)");
            for (HWND edit : {task1_xstart_edit, task1_xend_edit, task1_dx_edit, task1_eps_edit})
                type(edit, hostile);
            click_timed(task1, profile.tabulation.execute_id);
            EXPECT_LE(text(task1_result_edit).size(), text_buffer_size - 1);

            type(task2_a_edit, hostile), type(task2_b_edit, hostile);
            click_timed(task2, profile.expression.execute_id);
            expect_result_text(text(task2_result_edit));
            type(task2_a_edit, "1"), type(task2_b_edit, hostile);
            click_timed(task2, profile.expression.execute_id);
            expect_result_text(text(task2_result_edit));

            type(task3_element_edit, hostile), type(task3_c_edit, hostile);
            type(task3_d_edit, hostile);
            click_timed(task3, profile.array.add_id);
            click_timed(task3, profile.array.execute_id);
            expect_result_text(
                text(profile.array.counts_by_sign ? task3_negative_edit : task3_result_edit));
            EXPECT_EQ(scratch_text[text_buffer_size - 1], 0);
        }
        EXPECT_EQ(element_count, std::min<size_t>(texts.size(), element_capacity));
    });
    EXPECT_EQ(default_run_of_every_task(), normal);
}

// A field is read up to 511 characters, all its buffer holds: the 511th counts, the 512th not.
TEST(HostileInput, FieldsAreReadUpTo511Characters) {
    run_program([] {
        HWND window = open_task_window(3);
        for (const char* end : {"12", "123"}) {
            type(task3_element_edit, std::string(509, '0') + end);
            click_id(window, profile.array.add_id);
        }
    });
    EXPECT_EQ(element_store[0], 12);
    EXPECT_EQ(element_store[1], 12);
}

// Each tabulation input at its worst, the others ordinary.
TEST(HostileInput, TabulationWalksAndSeriesThatWouldNeverEnd) {
    struct Case {
        const char *start, *end, *step, *term_limit;
    };
    const Case cases[] = {
        {"0", "1", "0", "3"},           {"0", "1", "-1", "3"},
        {"0", "1", "1e-300", "3"},      {"0", "1e400", "1", "3"},
        {"-1e400", "0", "1", "3"},      {"0", "1", "1e400", "3"},
        {"0.5", "0.5", "1", "1e300"},   {"0.5", "0.5", "1", "1e400"},
        {"0.5", "1e400", "1", "1e300"}, {"1e308", "1e400", "1e308", "3"},
    };
    run_program([&] {
        HWND window = open_task_window(1);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.start) + " " + c.end + " " + c.step + " " + c.term_limit);
            type(task1_xstart_edit, c.start), type(task1_xend_edit, c.end);
            type(task1_dx_edit, c.step), type(task1_eps_edit, c.term_limit);
            results_text[0] = 0;
            click_timed(window, profile.tabulation.execute_id);
            std::string shown = text(task1_result_edit);
            EXPECT_FALSE(shown.empty());
            EXPECT_LE(shown.size(), text_buffer_size - 1);
            EXPECT_EQ(shown.substr(shown.size() - 2), "\r\n");
        }
    });
}

TEST(HostileInput, ThousandsOfOpenCloseCycles) {
    const std::string normal = default_run_of_every_task();
    run_program([] {
        for (int task = 1; task <= 3; ++task) {
            for (int cycle = 0; cycle < 2000; ++cycle) {
                HWND window = open_task_window(task);
                ASSERT_NE(window, nullptr) << "cycle " << cycle;
                standin::close(window);
            }
        }
        EXPECT_EQ(window1_open + window2_open + window3_open, 0);
        EXPECT_EQ(standin::top_level_windows().size(), 1u);
    });
    EXPECT_EQ(default_run_of_every_task(), normal);
}

} // namespace

// The task operations run from the control word Windows starts a program with, 0x027F (53-bit
// precision). Linux starts threads at 64 bits, so without these cases a task operation that no
// longer resets the FPU passes every other host test. Each input was found by a search for one
// whose shown text depends on the reset; the text without it is noted with each.
#include "platform/x87.h"
#include "tasks/array/array.h"
#include "tasks/expression/expression.h"
#include "tasks/tabulation/tabulation.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"
#include "variants/profile.h"

#include <gtest/gtest.h>

namespace {

const unsigned short windows_start_control_word = 0x027F;

// Clicks the button with the thread at Windows' start-up control word.
void click_from_windows_start(HWND window, int id) {
    unsigned short own = x87_get_control_word();
    x87_set_control_word(windows_start_control_word);
    click_id(window, id);
    x87_set_control_word(own);
}

// At 64 bits 2^51 + 0.2500001 rounds to 2^51 + 0.25 and then, a tie, back to 2^51: the step does
// not move X and the walk ends after one row. At 53 bits X goes on to 2^51 + 0.5 and 2^51 + 1.
TEST(StartControlWord, TabulationStepRoundsAt64Bits) {
    std::string table;
    run_program([&] {
        HWND window = open_task_window(1);
        type(task1_xstart_edit, "2251799813685248"), type(task1_xend_edit, "2251799813685249");
        type(task1_dx_edit, "0.2500001"), type(task1_eps_edit, "0");
        click_from_windows_start(window, profile.tabulation.execute_id);
        table = text(task1_result_edit);
    });
    std::string first_line = std::string(profile.tabulation.row_label) + "2251799813685248\r\n";
    EXPECT_EQ(table.substr(0, first_line.size()), first_line);
    EXPECT_EQ(table.find(profile.tabulation.row_label, 1), std::string::npos) << table;
}

struct ExpressionCase {
    const char* deliverable;
    const char *a, *b;
    const char* x; // shown with the reset
};

// At 53 bits A - 5 rounds back to A, and (A - 5) / B is the whole 3728550000.
#define SHARED_BELOW "-74571e12", "-2e7", "3.728550e+009"
const ExpressionCase expression_cases[] = {
    {"practice_v4", SHARED_BELOW},
    {"practice_v4_early", SHARED_BELOW},
    {"practice_v1", SHARED_BELOW},
    {"practice_v5", SHARED_BELOW},
    {"practice_v6", SHARED_BELOW},
    {"practice_v8", "-1801700", "30", "3246122890000"},            // "3.246123e+012" without
    {"practice_v14", "-1055551.0268", "1320", "-890971406038000"}, // "-8.909714e+014" without
};

TEST(StartControlWord, ExpressionComputesAt64Bits) {
    for (const ExpressionCase& c : expression_cases) {
        if (!is_deliverable(c.deliverable))
            continue;
        std::string x;
        run_program([&] {
            HWND window = open_task_window(2);
            type(task2_a_edit, c.a), type(task2_b_edit, c.b);
            click_from_windows_start(window, profile.expression.execute_id);
            x = text(task2_result_edit);
        });
        EXPECT_EQ(x, c.x) << "A=" << c.a << " B=" << c.b;
    }
}

struct ArrayCase {
    const char* deliverable;
    std::vector<const char*> elements; // C is 1 and D -1e300: every sign's threshold lets them in
    const char* result;                // shown with the reset
};

// The counts of practice_v1, practice_v5 and practice_v8 are whole numbers below 101 and their
// conditions compare without arithmetic: no input shows the reset there.
const ArrayCase array_cases[] = {
    {"practice_v4", {"-46462.9249"}, "-100304319795657"}, // "-1.003043e+014" without
    {"practice_v4_early", {"-46462.9249"}, "-100304319795657"},
    {"practice_v14", {"-16463.6", "-5245000"}, "86351582000"},   // "8.635158e+010" without
    {"practice_v6", {"28233.7", "40112751.7"}, "1.609034e+015"}, // "1609033646087669" without
};

TEST(StartControlWord, ArrayQueryComputesAt64Bits) {
    for (const ArrayCase& c : array_cases) {
        if (!is_deliverable(c.deliverable))
            continue;
        std::string result;
        run_program([&] {
            HWND window = open_task_window(3);
            for (const char* element : c.elements) {
                type(task3_element_edit, element);
                click_id(window, profile.array.add_id);
            }
            type(task3_c_edit, "1"), type(task3_d_edit, "-1e300");
            click_from_windows_start(window, profile.array.execute_id);
            result = text(task3_result_edit);
        });
        EXPECT_EQ(result, c.result);
    }
}

} // namespace

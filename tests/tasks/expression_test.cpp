// Task 2 through its window: the cases and guard of each deliverable, and inputs without a number.
#include "numtext/numtext.h"
#include "shell/shell.h"
#include "tasks/common/task_io.h"
#include "tasks/expression/expression.h"
#include "tests/support/deliverable.h"
#include "tests/support/program_driver.h"
#include "variants/profile.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

struct ExpressionCase {
    const char* deliverable;
    const char* a; // nullptr: the field keeps its initial text
    const char* b;
    const char* x;
    bool division_box;
};

// Each deliverable's default or typed inputs, and practice_v6's zero divisor A, are its end-to-end
// expectations (tests/e2e/expectations.cpp), which every build plays.
const ExpressionCase expression_cases[] = {
    {"practice_v4", "2", "2", "-125", false},
    {"practice_v4", "1", "2", "-2", false},
    {"practice_v4", "0", "-1", "-inf", false}, // (52 * -1) / 0 + -1
    {"practice_v4_early", "2", "2", "-125", false},
    {"practice_v4_early", "4", "1", "14", false},
    {"practice_v1", "3", "3", "25", false},
    {"practice_v1", "1", "2", "-2", false},
    {"practice_v5", "4", "1", "0.75", false},
    {"practice_v5", "1", "2", "-2", false},
    {"practice_v6", "-1", "0", "-1", true},
    {"practice_v6", "0", "0", "-2", false},
    {"practice_v6", "-0", "0", "-2", false},
    {"practice_v6", "2", "1", "1.5", false},
    {"practice_v8", "2", "1", "1", false},
    {"practice_v8", "5", "5", "-4", false},
    {"practice_v14", "1", "2", "-2", false},
    {"practice_v14", "7", "7", "25", false},
    // Without the guard, a zero divisor (here B, with A below B) gives the formula's own result.
    {"practice_v4_early", "-1", "0", "-inf", false},
    {"practice_v1", "-1", "0", "-inf", false},
    {"practice_v5", "-1", "0", "-inf", false},
    {"practice_v8", "-1", "0", "1", false}, // (A^3 + B) / A divides by A
    {"practice_v14", "-1", "0", "-inf", false},
    // Intermediates beyond the double range come back: (52 * 1e307) / 1e308 + 1e307.
    {"practice_v4", "1e308", "1e307", "1.000000e+307", false},
    // A³ = -1e330 stays in the 80-bit format until the one store.
    {"practice_v14", "-1e110", "1e300", "-1.000000e+030", false},
};

std::string evaluate(const char* a, const char* b) {
    std::string x;
    run_program([&] {
        HWND window = open_task_window(2);
        ASSERT_NE(window, nullptr);
        if (a)
            type(task2_a_edit, a);
        if (b)
            type(task2_b_edit, b);
        click_id(window, profile.expression.execute_id);
        x = text(task2_result_edit);
    });
    return x;
}

TEST(Expression, CasesOfEachDeliverable) {
    int checked = 0;
    for (const ExpressionCase& c : expression_cases) {
        if (!is_deliverable(c.deliverable))
            continue;
        ++checked;
        SCOPED_TRACE(std::string("A=") + (c.a ? c.a : "(default)") +
                     " B=" + (c.b ? c.b : "(default)"));
        EXPECT_EQ(evaluate(c.a, c.b), c.x);
        std::vector<std::string> expected_boxes;
        if (c.division_box)
            expected_boxes.push_back(DIVISION_BY_ZERO_TEXT);
        EXPECT_EQ(box_texts(), expected_boxes);
    }
    EXPECT_GT(checked, 1);
}

TEST(Expression, ZeroDivisorGuardShowsMinusOneBeforeItsBox) {
    if (!is_deliverable("practice_v6"))
        GTEST_SKIP() << "no guard in this deliverable";
    std::string result_while_box_up;
    standin::reset();
    run_program([&] {
        HWND window = open_task_window(2);
        standin::on_message_box([&](const standin::MessageBoxRecord& box) {
            result_while_box_up = text(task2_result_edit);
            EXPECT_EQ(box.owner, window);
            EXPECT_TRUE(box.null_title);
            EXPECT_EQ(box.type, (UINT)(MB_OK | MB_ICONINFORMATION));
        });
        type(task2_a_edit, "-1");
        type(task2_b_edit, "-0");
        click_id(window, profile.expression.execute_id);
    });
    EXPECT_EQ(result_while_box_up, "-1");
    EXPECT_EQ(box_texts(), std::vector<std::string>{DIVISION_BY_ZERO_TEXT});
}

TEST(Expression, NegativeZeroEqualsZero) {
    char equal_text[formatted_size];
    format_real(profile.expression.equal_value, equal_text);
    EXPECT_EQ(evaluate("0", "-0"), equal_text);
    EXPECT_EQ(evaluate("-0", "0"), equal_text);
}

TEST(Expression, TextWithoutNumberReadsAsZero) {
    for (const char* no_number : {"", "+", "-", "abc"}) {
        SCOPED_TRACE(std::string("text \"") + no_number + "\"");
        EXPECT_EQ(evaluate(no_number, "5"), evaluate("0", "5"));
        EXPECT_EQ(evaluate("5", no_number), evaluate("5", "0"));
    }
    char equal_text[formatted_size];
    format_real(profile.expression.equal_value, equal_text);
    EXPECT_EQ(evaluate("", ""), equal_text);
}

TEST(Expression, LongInputReadsItsFirst511Characters) {
    // The first 511 characters read as 0; the whole text would be 7e99488.
    std::string long_a = std::string(511, '0') + "7" + std::string(99488, '0');
    char equal_text[formatted_size];
    format_real(profile.expression.equal_value, equal_text);
    std::string number_before = "untouched";
    for (unsigned i = 0; i <= number_before.size(); ++i)
        number_text[i] = number_before.c_str()[i];
    EXPECT_EQ(evaluate(long_a.c_str(), "0"), equal_text);
    EXPECT_EQ(std::string(number_text), number_before);
}

TEST(ComparisonRule, UnorderedCountsAsEqualAndBelowNeverAbove) {
    const double nan = std::nan("");
    EXPECT_TRUE(is_equal(nan, 1.0));
    EXPECT_TRUE(is_below(nan, 1.0));
    EXPECT_TRUE(is_below(1.0, nan));
    EXPECT_FALSE(is_above(nan, 1.0));
    EXPECT_FALSE(is_above(1.0, nan));
    EXPECT_TRUE(is_equal(0.0, -0.0));
    EXPECT_FALSE(is_below(-0.0, 0.0));
}

} // namespace
